// The real program beyond its window: a dropped video opens, the command line
// opens one or converts several in turn, and while converting the summary line
// tells how far it has come. Outputs are judged by ffmpeg outside Wine.

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "e2e/ConversionSession.h"
#include "i18n/Localization.h"
#include "platform/AppProfile.h"
#include "res/resource.h"
#include "settings/SettingsPersistence.h"
#include "support/ClipFolder.h"
#include "support/FileContents.h"
#include "support/MediaProbe.h"

namespace {

constexpr DWORD kTimeoutMs = ConversionSession::kTimeoutMs;
const ClipShape kShortClip = {320, 240, 25, 50, true};  // 2 s
constexpr char kCue[] = "1\r\n00:00:00,500 --> 00:00:01,500\r\nEvery video its cue\r\n\r\n";
constexpr size_t kFrameInCue = 25;

// True when output's frame in the cue is the source's with the cue drawn.
bool CarriesTheCue(const ClipFolder& clips, const std::string& source, const std::string& output) {
  return CompareFrame(DecodeVideo(source, clips.PathOf("in.yuv")),
                      DecodeVideo(output, clips.PathOf("out.yuv")), kFrameInCue, Cue::Drawn)
      .empty();
}

// A percentage the summary line showed, and the output's size read before
// and after the tick that showed it.
struct SeenPercentage {
  int value;
  uint64_t sizeBefore, sizeAfter;
};

// The percentages of the summary line until it finishes, read every 50 ms;
// the finish line goes to *line.
std::vector<SeenPercentage> WatchProgress(HWND main, const std::string& output, std::string* line) {
  std::vector<SeenPercentage> seen;
  uint64_t sizes[2] = {};  // read after the line two and one looks before
  for (const DWORD began = GetTickCount(); GetTickCount() - began < 3 * kTimeoutMs; Sleep(50)) {
    *line = ProgramDriver::Text(main, IDC_STATIC_SUMMARY_LINE);
    const uint64_t size = FileBytes(output);
    if (!line->empty() && line->rfind("Please wait... Used Time: ", 0) != 0) break;
    const size_t percent = line->find('%');
    if (percent != std::string::npos) {
      const int value = std::stoi(line->substr(line->rfind(' ', percent) + 1));
      if (seen.empty() || seen.back().value != value) seen.push_back({value, sizes[0], size});
      EXPECT_NE(line->find(" left", percent), std::string::npos) << *line;
    }
    sizes[0] = sizes[1];
    sizes[1] = size;
  }
  return seen;
}

class BatchEndToEnd : public ::testing::Test {
 protected:
  // Stored: AVI, no compressors, so that frames are compared byte for byte.
  void SetUp() override {
    ASSERT_TRUE(m_program.DeleteApplicationKey());
    using namespace settings_keys;
    m_program.WriteInt(kSettings, kOutputFormat, 0);
    m_program.WriteInt(kVideoCompress, kCompressorNumber, -1);
    m_program.WriteInt(kAudioCompress, kCompressorNumber, -1);
  }
  void TearDown() override { m_program.DeleteApplicationKey(); }

  // A two-second clip with its cue beside it.
  std::string MakeSubtitledClip(const std::string& name) {
    const std::string clip = m_clips.MakeMp4(name + ".mp4", kShortClip);
    m_clips.MakeFile(name + ".srt", kCue);
    return clip;
  }

  AppProfile m_program{"BrimvaleStudio", "RoroVozaririd"};
  ClipFolder m_clips;
};

// Three clips, one of them corrupt where corrupt: the batch converts the
// others; an earlier output of b is kept and the new one numbered. The exit
// code counts what was not converted.
void ExpectBatchConverted(const ClipFolder& clips, const std::string& a, const std::string& b,
                          const std::string& c, bool corrupt) {
  const std::string out = clips.MakeFolder("out") + "\\";
  clips.MakeFile("out\\b.avi", "an earlier output");
  EXPECT_EQ(ConversionSession::ConvertBatch({a, b, c}, "avi", out, 3 * kTimeoutMs),
            corrupt ? 1 : 0);

  EXPECT_TRUE(CarriesTheCue(clips, a, out + "a.avi"));
  EXPECT_TRUE(CarriesTheCue(clips, c, out + "c.avi"));
  EXPECT_EQ(CarriesTheCue(clips, b, out + "b (2).avi"), !corrupt);
  EXPECT_EQ(Exists(out + "b (2).avi"), !corrupt);
  EXPECT_EQ(ReadFile(out + "b.avi"), "an earlier output");
}

TEST_F(BatchEndToEnd, ConvertsEachVideoOfTheCommandLineAndExitsWithNoFailure) {
  const std::string a = MakeSubtitledClip("a"), b = MakeSubtitledClip("b"),
                    c = MakeSubtitledClip("c");
  ASSERT_FALSE(a.empty() || b.empty() || c.empty());
  ExpectBatchConverted(m_clips, a, b, c, false);
}

// Its corrupt clip meets Wine's parser (the wine-parser cases in tests/CMakeLists.txt).
TEST_F(BatchEndToEnd, ConvertsTheOthersOfACorruptVideoAndExitsWithOneFailure) {
  const std::string a = MakeSubtitledClip("a"), c = MakeSubtitledClip("c");
  const std::string b = m_clips.MakeFile("b.mp4", "no video at all");
  ASSERT_FALSE(a.empty() || b.empty() || c.empty());
  ExpectBatchConverted(m_clips, a, b, c, true);
}

// The command line opens a long clip; during its conversion the percentage
// grows, a drop is refused, and the finish line follows. A drop opens a video
// as Open Video does; several: the others are converted beside their videos
// when the question is answered Yes, and the first is open again at the end.
TEST_F(BatchEndToEnd, ProgressGrowsAndDroppedVideosOpenOrConvert) {
  const std::string longClip = m_clips.MakeMp4("long.mp4", kLongClip);
  const std::string first = MakeSubtitledClip("first"), second = MakeSubtitledClip("second");
  ASSERT_FALSE(longClip.empty() || first.empty() || second.empty());
  ConversionSession session;
  ASSERT_TRUE(session.Start('"' + longClip + '"'));
  HWND main = session.Main();
  const auto sourceLine = [&] { return ProgramDriver::Text(main, IDC_STATIC_SOURCE_LINE); };
  ASSERT_TRUE(WaitUntil([&] { return sourceLine() == "long.mp4: 00:10:00"; }));
  const std::string output = m_clips.PathOf("long.avi");
  ASSERT_TRUE(session.ChooseOutput({0, output}));

  ASSERT_TRUE(session.Convert());
  ASSERT_TRUE(session.Driver().DropFiles(main, {first}));
  std::string line;
  const std::vector<SeenPercentage> seen = WatchProgress(main, output, &line);
  EXPECT_EQ(line, FinishLine("Done", output, "320*240"));
  ASSERT_GE(seen.size(), 2u) << "ticks of the once-a-second line";
  // The percentage is how much is written, whatever the speed: its share of
  // the finished file lies between the sizes read around its tick (give or
  // take 2 % for what the multiplexer holds back to interleave).
  const double total = static_cast<double>(FileBytes(output));
  for (size_t i = 0; i < seen.size(); ++i) {
    const SeenPercentage& s = seen[i];
    SCOPED_TRACE(s.value);
    if (i > 0) {
      EXPECT_GT(s.value, seen[i - 1].value);
    }
    EXPECT_LE((s.value - 2) * total / 100, static_cast<double>(s.sizeAfter));
    EXPECT_GE((s.value + 3) * total / 100, static_cast<double>(s.sizeBefore));
  }
  EXPECT_EQ(sourceLine(), "long.mp4: 00:10:00") << "a drop while converting opened a video";

  ASSERT_TRUE(session.Driver().DropFiles(main, {first, second}));
  ASSERT_TRUE(WaitUntil([&] { return GetLastActivePopup(main) != main; })) << "no question";
  EXPECT_EQ(sourceLine(), "first.mp4: 00:00:02");
  PostMessageA(GetLastActivePopup(main), WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
  const std::string converted = m_clips.PathOf("second.avi");
  EXPECT_TRUE(WaitUntil([&] {
    return IsWindowEnabled(GetDlgItem(main, IDC_BUTTON_ADD_VIDEO)) && Exists(converted) &&
           sourceLine() == "first.mp4: 00:00:02";
  })) << "the first video is not open again";
  EXPECT_TRUE(CarriesTheCue(m_clips, second, converted));
  EXPECT_FALSE(Exists(m_clips.PathOf("first.avi")));
  EXPECT_TRUE(session.Close());
}

// A command line that cannot be followed: the usage in one box, no window,
// and the program ends.
TEST_F(BatchEndToEnd, ABadArgumentShowsTheUsageAndNothingElse) {
  ProgramDriver driver;
  ASSERT_TRUE(driver.Start(ProgramDriver::ProgramPath(), "/convert /format mov x.avi"));
  HWND box = driver.WaitForWindow("RoroVozaririd", kTimeoutMs);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(GetDlgItem(box, IDC_BUTTON_CONVERT), nullptr) << "the main window opened";
  const std::string text = ProgramDriver::Text(box, 0xFFFF);
  EXPECT_EQ(text.rfind(BuiltInString(IDS_MESSAGE_BAD_ARGUMENT) + " \"mov\"\n\n", 0), 0u) << text;
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  DWORD exitCode = 0;
  ASSERT_TRUE(driver.WaitForExit(kTimeoutMs, &exitCode));
  EXPECT_EQ(exitCode, 160u);
}

}  // namespace
