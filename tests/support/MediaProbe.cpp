#include "support/MediaProbe.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "support/LinuxCommand.h"

namespace {

// ffprobe's "flat" lines: streams.stream.0.codec_type="video", format.duration="4.000000"
void TakeLine(const std::string& line, ProbedMedia& media) {
  const size_t equals = line.find('=');
  std::string key = line.substr(0, equals);
  std::string value = line.substr(equals + 1);
  if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
  const bool number = !value.empty() && value != "N/A";
  if (key == "format.duration") {
    if (number) media.duration = std::stod(value);
    return;
  }
  const std::string prefix = "streams.stream.";
  const size_t dot = key.find('.', prefix.size());
  const size_t index = std::stoul(key.substr(prefix.size(), dot - prefix.size()));
  if (media.streams.size() <= index) media.streams.resize(index + 1);
  ProbedStream& stream = media.streams[index];
  key = key.substr(dot + 1);
  if (key == "codec_type") stream.type = value;
  if (key == "codec_name") stream.codec = value;
  if (key == "nb_read_packets" && number) stream.packets = std::stol(value);
  if (key == "duration" && number) stream.duration = std::stod(value);
  if (key == "display_aspect_ratio" && number) stream.aspect = value;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// ffmpeg with input (its options and -i file) decoding the first video stream.
std::vector<std::string> FrameChecksums(const std::string& input, const std::string& pixelFormat) {
  const LinuxCommandResult run = RunLinuxCommand(
      "ffmpeg -v error " + input + " -map 0:v:0 -pix_fmt " + pixelFormat + " -f framemd5 -");
  std::vector<std::string> sums;
  if (!run.finished || run.exitCode != 0) return sums;
  for (const std::string& line : Lines(run.output))
    if (!line.empty() && line[0] != '#')
      sums.push_back(line.substr(line.find_first_not_of(' ', line.rfind(',') + 1)));
  return sums;
}

// The decoded sound's length after filter (ffmpeg's options).
double AudioSeconds(const std::string& windowsPath, const std::string& filter) {
  constexpr int kRate = 48000;  // mono 16-bit after resampling
  const LinuxCommandResult run =
      RunLinuxCommand("ffmpeg -v error -i " + ShellQuote(UnixPath(windowsPath)) + " -map 0:a:0" +
                      filter + " -ac 1 -ar " + std::to_string(kRate) + " -f s16le - | wc -c");
  // What ffmpeg finds amiss (a file cut off) comes first; the count is the last line.
  const std::vector<std::string> lines = Lines(run.output);
  if (!run.finished || run.exitCode != 0 || lines.empty()) return -1;
  return std::stod(lines.back()) / (2.0 * kRate);
}

}  // namespace

std::vector<std::string> VideoFrameChecksums(const std::string& windowsPath,
                                             const std::string& pixelFormat) {
  return FrameChecksums("-i " + ShellQuote(UnixPath(windowsPath)), pixelFormat);
}

std::string VideoFrameChecksumAfterSeek(const std::string& windowsPath, double seconds,
                                        const std::string& pixelFormat) {
  const std::vector<std::string> sums =
      FrameChecksums("-ss " + std::to_string(seconds) + " -i " + ShellQuote(UnixPath(windowsPath)) +
                         " -frames:v 1",
                     pixelFormat);
  return sums.size() == 1 ? sums[0] : std::string();
}

const ProbedStream* ProbedMedia::Stream(const std::string& type) const {
  for (const ProbedStream& stream : streams)
    if (stream.type == type) return &stream;
  return nullptr;
}

ProbedMedia ProbeMedia(const std::string& windowsPath) {
  const LinuxCommandResult run = RunLinuxCommand(
      "ffprobe -v error -count_packets -of flat -show_entries stream=codec_type,codec_name,"
      "nb_read_packets,duration,display_aspect_ratio:format=duration " +
      ShellQuote(UnixPath(windowsPath)));
  ProbedMedia media;
  for (const std::string& line : Lines(run.output)) {
    if (line.rfind("streams.stream.", 0) == 0 || line.rfind("format.", 0) == 0)
      TakeLine(line, media);
    else
      media.errors += line + "\n";
  }
  media.read = run.finished && run.exitCode == 0 && media.errors.empty();
  return media;
}

std::vector<double> FrameTimes(const std::string& windowsPath, const std::string& type) {
  const LinuxCommandResult run =
      RunLinuxCommand("ffprobe -v error -select_streams " + type +
                      ":0 -show_entries frame=best_effort_timestamp_time -of csv=p=0 " +
                      ShellQuote(UnixPath(windowsPath)));
  std::vector<double> times;
  if (!run.finished || run.exitCode != 0) return times;
  // Lines of side data are empty; a frame without a time follows the one before.
  for (const std::string& line : Lines(run.output)) {
    if (line.empty() || line[0] == ',') continue;
    const size_t count = times.size();
    const double step = count > 1 ? times[count - 1] - times[count - 2] : 0;
    times.push_back(line[0] == 'N' ? (count ? times.back() + step : 0) : std::stod(line));
  }
  return times;
}

double FirstSoundSeconds(const std::string& windowsPath) {
  constexpr int kRate = 48000;      // mono 16-bit after resampling
  constexpr int kThreshold = 3000;  // far above the noise of lossy coding
  const std::vector<double> times = FrameTimes(windowsPath, "a");
  const std::string samples =
      RunLinuxCommand("ffmpeg -v error -i " + ShellQuote(UnixPath(windowsPath)) +
                      " -map 0:a:0 -af aresample=async=1 -ac 1 -ar 48000 -f s16le - |"
                      " od -An -v -td2 -w2")
          .output;
  std::istringstream in(samples);
  int value = 0;
  for (long i = 0; !times.empty() && in >> value; ++i)
    if (std::abs(value) > kThreshold) return times.front() + static_cast<double>(i) / kRate;
  return -1;
}

double DecodedAudioSeconds(const std::string& windowsPath) { return AudioSeconds(windowsPath, ""); }

double SoundEndSeconds(const std::string& windowsPath) {
  return AudioSeconds(windowsPath, " -af aresample=async=1:first_pts=0");
}

DecodedVideo DecodeVideo(const std::string& windowsPath, const std::string& rawFile) {
  DecodedVideo video;
  const std::string source = ShellQuote(UnixPath(windowsPath));
  const LinuxCommandResult size = RunLinuxCommand(
      "ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 " +
      source);
  if (!size.finished || size.exitCode != 0 ||
      sscanf(size.output.c_str(), "%d,%d", &video.width, &video.height) != 2)
    return video;
  const LinuxCommandResult decoded = RunLinuxCommand(
      "ffmpeg -v error -y -i " + source + " -map 0:v:0 -fps_mode passthrough -pix_fmt yuv420p " +
      "-f rawvideo " + ShellQuote(UnixPath(rawFile)));
  if (!decoded.finished || decoded.exitCode != 0) return video;

  // Chroma planes of half the width and height, rounded up.
  const size_t frameBytes =
      static_cast<size_t>(video.width) * video.height +
      2 * static_cast<size_t>((video.width + 1) / 2) * ((video.height + 1) / 2);
  std::ifstream in(rawFile, std::ios::binary);
  std::vector<unsigned char> frame(frameBytes);
  while (in.read(reinterpret_cast<char*>(frame.data()), static_cast<std::streamsize>(frameBytes)))
    video.frames.push_back(frame);
  in.close();
  DeleteFileA(rawFile.c_str());
  return video;
}

namespace {

// Whether rows [first, end) of a plane of rows of width bytes at offset are equal in a and b.
bool SameRows(const unsigned char* a, const unsigned char* b, size_t width, int first, int end) {
  if (end <= first) return true;
  return memcmp(a + width * first, b + width * first, width * (end - first)) == 0;
}

}  // namespace

std::string CompareFrame(const DecodedVideo& source, const DecodedVideo& output, size_t i, Cue cue,
                         CueRows rows) {
  const std::string at = "frame " + std::to_string(i) + " ";
  if (i >= source.frames.size() || i >= output.frames.size() || output.width != source.width ||
      output.height != source.height)
    return at + "is missing, or the sizes differ";
  const unsigned char* in = source.frames[i].data();
  const unsigned char* out = output.frames[i].data();
  const int height = source.height, chromaHeight = (height + 1) / 2;
  const size_t width = source.width, chromaWidth = (width + 1) / 2;
  const size_t luma = width * height, chroma = chromaWidth * chromaHeight;
  if (cue == Cue::Absent)
    return memcmp(in, out, luma + 2 * chroma) == 0 ? "" : at + "differs from the source";
  // The cue's rows, and the chroma rows that any of them shares.
  const int top = static_cast<int>(rows.top * height);
  const int bottom = std::min(height, static_cast<int>(std::ceil(rows.bottom * height)));
  const int chromaTop = top / 2, chromaBottom = std::min(chromaHeight, (bottom + 1) / 2);
  for (size_t plane : {luma, luma + chroma}) {
    if (!SameRows(in + plane, out + plane, chromaWidth, 0, chromaTop) ||
        !SameRows(in + plane, out + plane, chromaWidth, chromaBottom, chromaHeight))
      return at + "changed outside the cue's rows";
  }
  if (!SameRows(in, out, width, 0, top) || !SameRows(in, out, width, bottom, height))
    return at + "changed outside the cue's rows";
  if (cue == Cue::Drawn && SameRows(in, out, width, top, bottom)) return at + "carries no cue";
  return "";
}
