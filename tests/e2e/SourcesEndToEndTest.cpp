// Sources as users have them (frame sizes that are not multiples of 8, film
// and NTSC rates, a variable rate or one the container misstates, sound that
// starts late or early or leaves a hole, the common containers and codecs)
// converted by the real program's command line and judged by ffmpeg outside
// Wine against the source: the same frames, bit for bit outside the cue and
// with the cue drawn into their lower half inside it, as many and as long, the
// sound in step with the picture and ending with it, and the file as long as
// it declares.

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "e2e/ConversionSession.h"
#include "platform/AppProfile.h"
#include "settings/SettingsPersistence.h"
#include "support/ClipFolder.h"
#include "support/MediaProbe.h"

namespace {

constexpr char kCue[] = "1\r\n00:00:00,400 --> 00:00:00,800\r\nEvery video its cue\r\n\r\n";
constexpr double kCueStart = 0.4, kCueEnd = 0.8;  // seconds
constexpr double kInStep = 0.040;                 // seconds the sound may stray from the picture
constexpr double kLargestSoundBlock = 2048.0 / 44100;  // seconds: WMA's
const std::string kH264 = "-c:v libx264 -preset ultrafast -pix_fmt yuv420p";

struct Source {
  const char* file;  // its extension names the container
  ClipShape shape;
  std::string codecs;
  std::vector<const char*> formats;  // converted to, as /format names them
  // Where Wine's own splitter cannot give the whole source (measured): the
  // program converts it whole, or names the video and why in its report.
  const char* wineLimit = nullptr;
  bool subtitled = true;  // a .srt beside it: else the splitter feeds the multiplexer directly
};

// A clip of seconds with the white frame and the beep to measure the step by.
ClipShape Marked(int width, int height, int seconds, const char* rate = "25", double soundDelay = 0,
                 bool variableRate = false) {
  return {width, height, 25, 25 * seconds, true, rate, soundDelay, variableRate, true};
}

ClipShape WithSoundHole(ClipShape shape, double seconds) {
  shape.soundHole = seconds;
  return shape;
}

ClipShape Declaring(ClipShape shape, int framesPerSecond) {
  shape.declaredRate = framesPerSecond;
  return shape;
}

const Source kSources[] = {
    {"854x480.mp4", Marked(854, 480, 2), kH264 + " -c:a aac", {"avi", "mkv"}},
    {"426x240 unsubtitled.mp4", Marked(426, 240, 2), kH264 + " -c:a aac", {"avi"}, nullptr, false},
    {"428x240 film.mkv", Marked(428, 240, 2, "24000/1001"), kH264 + " -c:a libvorbis", {"avi"}},
    {"322x242 ntsc.mp4", Marked(322, 242, 2, "30000/1001"), kH264 + " -c:a aac", {"avi", "asf"}},
    {"variable rate.mp4", Marked(320, 240, 3, "30", 0, true), kH264 + " -c:a aac", {"avi", "mkv"}},
    {"late sound.mkv", Marked(320, 240, 2, "25", 0.5), kH264 + " -c:a aac", {"avi", "mkv", "asf"}},
    {"early sound.mkv", Marked(320, 240, 5, "25", -1), kH264 + " -c:a aac", {"avi", "asf"}},
    {"sound hole.mkv", WithSoundHole(Marked(320, 240, 5), 2), kH264 + " -c:a aac", {"avi", "mkv"}},
    {"30 fps said 25.mkv", Declaring(Marked(160, 120, 60, "30"), 25), kH264 + " -c:a aac", {"avi"}},
    {"mpeg4 mp3.avi", Marked(640, 360, 2), "-c:v mpeg4 -q:v 4 -c:a libmp3lame", {"avi"}},
    {"vp9 opus.webm",
     Marked(320, 240, 2),
     "-c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 500k -pix_fmt yuv420p -c:a libopus",
     {"avi"}},
    {"theora.ogv",
     Marked(320, 240, 2),
     "-c:v libtheora -q:v 6 -pix_fmt yuv420p -c:a libvorbis",
     {"avi"}},
    {"wmv2.wmv", Marked(320, 240, 2), "-c:v wmv2 -b:v 500k -c:a wmav2", {"avi", "asf"}},
    {"program stream.mpg",
     Marked(320, 240, 3),
     "-c:v mpeg2video -q:v 4 -c:a mp2 -f vob",
     {"avi"},
     "Wine's splitter stops each stream at the stream's length counted from 0, not from its first "
     "time stamp (0.54 s here): the last 0.54 s of picture and more of the sound are lost"},
    {"transport stream.ts",
     Marked(320, 240, 2),
     kH264 + " -c:a aac",
     {"avi"},
     "Wine's splitter gives GStreamer's MPEG-TS demultiplexer buffers without file offsets, "
     "and it finds no program: RenderFile fails with VFW_E_CANNOT_RENDER"},
};

std::string Stem(const std::string& file) { return file.substr(0, file.rfind('.')); }

bool GoesTo(const Source& s, const char* format) {
  return std::find_if(s.formats.begin(), s.formats.end(),
                      [&](const char* f) { return std::string(f) == format; }) != s.formats.end();
}

// When the clip's white frame plays; -1 when none is found.
double FlashSeconds(const DecodedVideo& video, const std::vector<double>& times) {
  const size_t luma = static_cast<size_t>(video.width) * video.height;
  for (size_t i = 0; i < video.frames.size() && i < times.size(); ++i) {
    long sum = 0, count = 0;
    for (size_t at = 0; at < luma; at += 61, ++count) sum += video.frames[i][at];
    if (sum > 200 * count) return times[i];
  }
  return -1;
}

// What the frame at time (seconds) shows: near the cue's ends, within edge,
// it may carry the cue or not.
Cue CueAt(double time, double edge, bool subtitled) {
  if (!subtitled || time < kCueStart - edge || time > kCueEnd + edge) return Cue::Absent;
  return time > kCueStart + edge && time < kCueEnd - edge ? Cue::Drawn : Cue::Either;
}

// Empty when output holds source's frames (all of them where whole) with the
// cue, as long as the source, and the sound in step; otherwise what is wrong.
std::string Judge(const ClipFolder& clips, const Source& s, const std::string& output, bool whole) {
  const std::string source = clips.PathOf(s.file);
  const ProbedMedia probed = ProbeMedia(output);
  if (!probed.read) return "ffprobe cannot read it: " + probed.errors;
  const DecodedVideo in = DecodeVideo(source, clips.PathOf("in.yuv"));
  DecodedVideo out = DecodeVideo(output, clips.PathOf("out.yuv"));
  const std::vector<double> inTimes = FrameTimes(source, "v");
  std::vector<double> outTimes = FrameTimes(output, "v");
  if (in.frames.size() < 2 || inTimes.size() != in.frames.size() || out.width != in.width ||
      out.height != in.height || outTimes.size() != out.frames.size())
    return "frames " + std::to_string(in.frames.size()) + " / " +
           std::to_string(out.frames.size()) + ", times " + std::to_string(inTimes.size()) + " / " +
           std::to_string(outTimes.size()) + ", or another size";
  // ASF leads a picture that starts after the sound with its first frame from 0.
  if (out.frames.size() == in.frames.size() + 1 && out.frames[0] == out.frames[1]) {
    out.frames.erase(out.frames.begin());
    outTimes.erase(outTimes.begin());
  }
  const std::string counts =
      std::to_string(out.frames.size()) + " of " + std::to_string(in.frames.size()) + " frames";
  if (whole ? out.frames.size() != in.frames.size() : out.frames.size() > in.frames.size())
    return counts;
  const double frame = (inTimes.back() - inTimes.front()) / static_cast<double>(inTimes.size() - 1);
  for (size_t i = 0; i < out.frames.size(); ++i) {
    const std::string wrong = CompareFrame(in, out, i, CueAt(inTimes[i], 2 * frame, s.subtitled));
    if (!wrong.empty()) return wrong + " at " + std::to_string(inTimes[i]) + " s";
  }
  const double span = outTimes.back() - outTimes.front(),
               sourceSpan = inTimes.back() - inTimes.front();
  if (whole && std::abs(span - sourceSpan) > frame)
    return "pictures over " + std::to_string(span) + " s, not " + std::to_string(sourceSpan);
  // The sound ends where the source's does, against the picture; a decoder
  // may keep or drop its codec's first block: WMA's is 46 ms.
  const double soundEnd = SoundEndSeconds(output);
  const double soundOn = soundEnd - outTimes.front();
  const double sourceSoundOn = SoundEndSeconds(source) - inTimes.front();
  if (whole && std::abs(soundOn - sourceSoundOn) > std::max(frame, kLargestSoundBlock))
    return "the sound ends " + std::to_string(soundOn) + " s after the picture starts, not " +
           std::to_string(sourceSoundOn);
  const double content = std::max(outTimes.back() + frame, soundEnd);
  if (whole && std::abs(probed.duration - content) > frame)
    return "declared " + std::to_string(probed.duration) + " s for " + std::to_string(content);
  const double inStep = FirstSoundSeconds(source) - FlashSeconds(in, inTimes);
  const double outStep = FirstSoundSeconds(output) - FlashSeconds(out, outTimes);
  if (std::abs(outStep - inStep) > kInStep)
    return "the beep follows the white frame by " + std::to_string(outStep) + " s, not " +
           std::to_string(inStep);
  return "";
}

class SourcesEndToEnd : public ::testing::Test {
 protected:
  // Stored: no compressors, so that frames are compared byte for byte.
  void SetUp() override {
    ASSERT_TRUE(m_program.DeleteApplicationKey());
    using namespace settings_keys;
    m_program.WriteInt(kVideoCompress, kCompressorNumber, -1);
    m_program.WriteInt(kAudioCompress, kCompressorNumber, -1);
  }
  void TearDown() override { m_program.DeleteApplicationKey(); }

  AppProfile m_program{"BrimvaleStudio", "RoroVozaririd"};
  ClipFolder m_clips;
};

TEST_F(SourcesEndToEnd, CommonSizesRatesAndContainersConvertFrameForFrameAndInStep) {
  for (const Source& s : kSources) {
    ASSERT_FALSE(m_clips.MakeClip(s.file, s.shape, s.codecs).empty()) << s.file;
    if (s.subtitled) {
      ASSERT_FALSE(m_clips.MakeFile(Stem(s.file) + ".srt", kCue).empty());
    }
  }
  for (const char* format : {"avi", "mkv", "asf"}) {
    const std::string folder = m_clips.MakeFolder(format) + "\\";
    std::vector<std::string> videos;
    for (const Source& s : kSources)
      if (GoesTo(s, format)) videos.push_back(m_clips.PathOf(s.file));
    const int notWhole =
        ConversionSession::ConvertBatch(videos, format, folder, 10 * ConversionSession::kTimeoutMs);
    int limited = 0;
    for (const Source& s : kSources) {
      if (!GoesTo(s, format)) continue;
      SCOPED_TRACE(std::string(s.file) + " to " + format);
      const std::string output = folder + Stem(s.file) + "." + format;
      if (!s.wineLimit) {
        EXPECT_EQ(Judge(m_clips, s, output, true), "");
        continue;
      }
      // Converted whole, or what there is is right and counted as not converted.
      const bool made = GetFileAttributesA(output.c_str()) != INVALID_FILE_ATTRIBUTES;
      if (made && Judge(m_clips, s, output, true).empty()) continue;
      std::cout << "[ LIMIT    ] " << s.file << ": " << s.wineLimit << "\n";
      ++limited;
      if (made) {
        EXPECT_EQ(Judge(m_clips, s, output, false), "");
      }
    }
    EXPECT_EQ(notWhole, limited) << format;
  }
}

}  // namespace
