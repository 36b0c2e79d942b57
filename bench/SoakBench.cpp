// A long day of the real program, driven from outside: what it holds (kernel
// handles, GDI objects, threads, private bytes) before, after its first
// conversion and after many. Writes "name value" lines to a results file:
//
//   soak_bench batch <clip> <folder> <count> <results>
//     count copies of clip in folder; the idle window of a program started
//     without arguments, then a program whose command line converts the first
//     copy ("/convert"), then one that converts all count copies, each
//     measured once its batch has ended (without "/exit" the window stays).
//   soak_bench stops <clip> <output> <count> <results>
//     one window: Options -> AVI, Open Video, then count Convert/Stop pairs,
//     measured with the source open, after the first pair and after the last.
//
// Nothing here judges a figure: bench/soak prints them.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/ConversionSession.h"
#include "platform/AppProfile.h"
#include "res/resource.h"
#include "settings/SettingsPersistence.h"

namespace {

constexpr DWORD kBatchTimeoutMs = 3600000;
// After the window goes idle: the graph's and the decoder's threads end on
// their own a moment later.
constexpr DWORD kSettleMs = 2000;

class Results {
 public:
  explicit Results(const char* path) : m_file(path, std::ios::app) {}
  bool Ok() const { return m_file.good(); }
  void Put(const std::string& name, const ProcessResources& r) {
    Line(name + "_handles", r.handles);
    Line(name + "_gdi_objects", r.gdiObjects);
    Line(name + "_threads", r.threads);
    Line(name + "_private_bytes", static_cast<double>(r.privateBytes));
  }

 private:
  void Line(const std::string& name, double value) {
    m_file << name << ' ' << value << '\n';
    m_file.flush();
    std::printf("%s %.0f\n", name.c_str(), value);
  }

  std::ofstream m_file;
};

std::string Quoted(const std::string& path) { return '"' + path + '"'; }

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Stored: AVI without compressors, as the end-to-end tests convert.
void StoreAviSettings() {
  using namespace settings_keys;
  AppProfile program("BrimvaleStudio", "RoroVozaririd");
  program.DeleteApplicationKey();
  program.WriteInt(kSettings, kOutputFormat, 0);
  program.WriteInt(kVideoCompress, kCompressorNumber, -1);
  program.WriteInt(kAudioCompress, kCompressorNumber, -1);
}

// The paths of count copies of clip (with the subtitles beside it) in folder.
std::vector<std::string> Copies(const std::string& clip, const std::string& folder, int count) {
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string cues = clip.substr(0, clip.rfind('.')) + ".srt";
  std::vector<std::string> copies;
  for (int i = 0; i < count; ++i) {
    const std::string name = folder + "\\clip" + std::to_string(i);
    if (!CopyFileA(clip.c_str(), (name + ".mp4").c_str(), FALSE)) return {};
    CopyFileA(cues.c_str(), (name + ".srt").c_str(), FALSE);
    copies.push_back(name + ".mp4");
  }
  return copies;
}

// Runs a program that converts videos into outputFolder; what it holds once
// the batch has ended. False when it did not end.
bool MeasureBatch(const std::vector<std::string>& videos, const std::string& outputFolder,
                  ProcessResources& held) {
  CreateDirectoryA(outputFolder.c_str(), nullptr);
  std::string arguments = "/convert";
  for (const std::string& video : videos) arguments += ' ' + Quoted(video);
  ConversionSession session;
  if (!session.Start(arguments + " /outdir " + Quoted(outputFolder))) return false;
  const std::string last = outputFolder + "\\clip" + std::to_string(videos.size() - 1) + ".avi";
  const bool ended = WaitUntil(
      [&] {
        return Exists(last) && IsWindowEnabled(GetDlgItem(session.Main(), IDC_BUTTON_ADD_VIDEO));
      },
      kBatchTimeoutMs);
  if (!ended) return false;
  Sleep(kSettleMs);
  held = session.Driver().Resources();
  return session.Close();
}

int Failed(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  return 1;
}

int SoakBatch(const std::string& clip, const std::string& folder, int count, Results& results) {
  StoreAviSettings();
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::vector<std::string> copies = Copies(clip, folder + "\\sources", count);
  if (copies.empty()) return Failed("the clip could not be copied");
  ConversionSession idle;
  if (!idle.Start()) return Failed("the program did not start");
  Sleep(kSettleMs);
  results.Put("batch_before", idle.Driver().Resources());
  idle.Close();
  ProcessResources first, all;
  if (!MeasureBatch({copies.front()}, folder + "\\first", first))
    return Failed("the batch of one did not end");
  results.Put("batch_after_first", first);
  if (!MeasureBatch(copies, folder + "\\all", all)) return Failed("the whole batch did not end");
  results.Put("batch_after_all", all);
  return 0;
}

// One Convert/Stop pair on an open source; false when it did not run and end.
bool ConvertAndStop(ConversionSession& session, const std::string& output) {
  DeleteFileA(output.c_str());
  if (!session.Convert()) return false;
  session.Stop();
  const std::string finish = session.WaitForFinish();
  return finish.rfind("Done.", 0) == 0;
}

int SoakStops(const std::string& clip, const std::string& output, int count, Results& results) {
  StoreAviSettings();
  ConversionSession session;
  if (!session.Start() || !session.ChooseOutput({0, output}) || session.OpenVideo(clip).empty())
    return Failed("the clip could not be opened");
  Sleep(kSettleMs);
  results.Put("stops_before", session.Driver().Resources());
  for (int pair = 1; pair <= count; ++pair) {
    if (!ConvertAndStop(session, output)) return Failed("a pair did not run and stop");
    if (pair != 1 && pair != count) continue;
    Sleep(kSettleMs);
    results.Put(pair == 1 ? "stops_after_first" : "stops_after_all", session.Driver().Resources());
  }
  return session.Close() ? 0 : 1;
}

int Usage() {
  std::fprintf(stderr,
               "usage: soak_bench batch <clip> <folder> <count> <results>\n"
               "       soak_bench stops <clip> <output> <count> <results>\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() != 5) return Usage();
  Results results(args[4].c_str());
  const int count = std::atoi(args[3].c_str());
  if (!results.Ok() || count < 2) return Usage();
  if (args[0] == "batch") return SoakBatch(args[1], args[2], count, results);
  if (args[0] == "stops") return SoakStops(args[1], args[2], count, results);
  return Usage();
}
