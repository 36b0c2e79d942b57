// Sources as users have them (frame sizes that are not multiples of 8 or odd,
// film and NTSC rates, a variable rate or one the container misstates, sound
// that starts late or early or leaves a hole, the common containers and
// codecs, styled subtitles) converted by the real program's command line and
// judged by ffmpeg outside Wine against the source: the same frames, bit for
// bit outside the cue and with the cue drawn into its rows inside it, as many
// and as long, the sound in step with the picture and ending with it, and the
// file as long as it declares.

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "e2e/ConversionSession.h"
#include "i18n/Localization.h"
#include "platform/AppProfile.h"
#include "res/resource.h"
#include "settings/SettingsPersistence.h"
#include "support/ClipFolder.h"
#include "support/FileContents.h"
#include "support/LoadLevelGuard.h"
#include "support/MediaProbe.h"
#include "support/RawRegistry.h"

namespace {

constexpr char kCue[] = "1\r\n00:00:00,400 --> 00:00:00,800\r\nEvery video its cue\r\n\r\n";
// The same cue styled, at the top.
constexpr char kTopCue[] =
    "[V4+ Styles]\r\nFormat: Name, Fontname, Fontsize, PrimaryColour, Bold, MarginV\r\n"
    "Style: Default,Arial,20,&H0000FFFF,-1,10\r\n[Events]\r\nFormat: Start, End, Style, Text\r\n"
    "Dialogue: 0:00:00.40,0:00:00.80,Default,{\\an8}Every video {\\i1}its{\\i0} cue\r\n";
constexpr double kCueStart = 0.4, kCueEnd = 0.8;  // seconds
constexpr double kInStep = 0.040;                 // seconds the sound may stray from the picture
constexpr double kLargestSoundBlock = 2048.0 / 44100;  // seconds: WMA's
constexpr DWORD kUserLoadLevel = 2;  // the subtitle filter's: never, but while the program runs
const std::string kH264 = "-c:v libx264 -preset ultrafast -pix_fmt yuv420p";

// A subtitle file beside a source, and the rows its cue is drawn in.
struct Subtitles {
  const char* extension;
  const char* text;
  CueRows rows;
};
const Subtitles kSubRip = {".srt", kCue};
const Subtitles kTopAss = {".ass", kTopCue, {0, 1.0 / 3}};

struct Source {
  const char* file;  // its extension names the container
  ClipShape shape;
  std::string codecs;
  std::vector<const char*> formats;  // converted to, as /format names them
  // Where Wine's own splitter cannot give the whole source (measured): the
  // program converts what it gets and, where it can tell, says that the output ends early.
  const char* wineLimit = nullptr;
  // None: the splitter feeds the multiplexer directly.
  const Subtitles* subtitles = &kSubRip;
  bool alongside = false;  // converted by a second instance started with the batch
  bool told = true;        // a wineLimit that the program sees: it counts the video
  bool opens = true;       // false: Wine's parser cannot read it, and the program cannot open it
};

// A clip of seconds with the white frame and the beep to measure the step by.
ClipShape Marked(int width, int height, int seconds, const char* rate = "25", double soundDelay = 0,
                 bool variableRate = false) {
  return {width, height, 25, 25 * seconds, true, rate, soundDelay, variableRate, true};
}
ClipShape Silent(ClipShape shape) {
  shape.withAudio = false;
  return shape;
}
ClipShape TwoTracks(ClipShape shape) {
  shape.secondSoundTrack = true;
  return shape;
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
    {"426x240 unsubtitled.mp4",
     Marked(426, 240, 2),
     kH264 + " -c:a aac",
     {"avi"},
     nullptr,
     nullptr},
    {"styled at the top.mp4", Marked(320, 240, 2), kH264 + " -c:a aac", {"avi"}, nullptr, &kTopAss},
    {"428x240 film.mkv", Marked(428, 240, 2, "24000/1001"), kH264 + " -c:a libvorbis", {"avi"}},
    {"322x242 ntsc.mp4", Marked(322, 242, 2, "30000/1001"), kH264 + " -c:a aac", {"avi", "asf"}},
    {"variable rate.mp4", Marked(320, 240, 3, "30", 0, true), kH264 + " -c:a aac", {"avi", "mkv"}},
    {"late sound.mkv", Marked(320, 240, 2, "25", 0.5), kH264 + " -c:a aac", {"avi", "mkv", "asf"}},
    // A time-lapse: its last frame ends a whole half second after it starts.
    {"2 fps.mp4", Silent(Marked(320, 240, 4, "2")), kH264, {"avi", "mkv"}},
    // One track is kept, in step, the other renderer leaves. Which one is
    // Wine's: its splitter offers a film's tracks in another order from run to
    // run (measured), and the program keeps the first it offers.
    {"two sound tracks.mkv",
     TwoTracks(Marked(320, 240, 2)),
     kH264 + " -c:a libvorbis",
     {"avi", "mkv", "asf"}},
    {"at once.mp4", Marked(320, 240, 2), kH264 + " -c:a aac", {"avi"}, nullptr, &kSubRip, true},
    {"early sound.mkv", Marked(320, 240, 5, "25", -1), kH264 + " -c:a aac", {"avi", "asf"}},
    {"sound hole.mkv", WithSoundHole(Marked(320, 240, 5), 2), kH264 + " -c:a aac", {"avi", "mkv"}},
    {"30 fps said 25.mkv", Declaring(Marked(160, 120, 60, "30"), 25), kH264 + " -c:a aac", {"avi"}},
    {"mpeg4 mp3.avi", Marked(640, 360, 2), "-c:v mpeg4 -q:v 4 -c:a libmp3lame", {"avi"}},
    {"vp9 opus.webm",
     Marked(320, 240, 2),
     "-c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 500k -pix_fmt yuv420p -c:a libopus",
     {"avi"}},
    {"321x241 vp9.webm",
     Marked(321, 241, 2),
     "-c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 500k -pix_fmt yuv420p -c:a libopus",
     {"avi", "mkv", "asf"}},
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
     "time stamp (0.54 s here): the last 0.54 s of picture and more of the sound are lost; the "
     "output reaches the length Wine declares, so the program cannot tell",
     &kSubRip,
     false,
     false},
    {"transport stream.ts",
     Marked(320, 240, 2),
     kH264 + " -c:a aac",
     {"avi"},
     "Wine's splitter gives GStreamer's MPEG-TS demultiplexer buffers without file offsets, "
     "and it finds no program: RenderFile fails with VFW_E_CANNOT_RENDER",
     &kSubRip,
     false,
     true,
     false},
};

std::string Stem(const std::string& file) { return file.substr(0, file.rfind('.')); }

// What Wine's parser cannot read has a test of its own.
bool GoesTo(const Source& s, const char* format) {
  const auto same = [&](const char* f) { return std::string(f) == format; };
  return s.opens && std::find_if(s.formats.begin(), s.formats.end(), same) != s.formats.end();
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
Cue CueAt(double time, double edge, const Subtitles* subtitles) {
  if (!subtitles || time < kCueStart - edge || time > kCueEnd + edge) return Cue::Absent;
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
    const Cue cue = CueAt(inTimes[i], 2 * frame, s.subtitles);
    const std::string wrong =
        CompareFrame(in, out, i, cue, s.subtitles ? s.subtitles->rows : CueRows{});
    if (!wrong.empty()) return wrong + " at " + std::to_string(inTimes[i]) + " s";
  }
  const double span = outTimes.back() - outTimes.front(),
               sourceSpan = inTimes.back() - inTimes.front();
  if (whole && std::abs(span - sourceSpan) > frame)
    return "pictures over " + std::to_string(span) + " s, not " + std::to_string(sourceSpan);
  const long tracks = std::count_if(probed.streams.begin(), probed.streams.end(),
                                    [](const ProbedStream& p) { return p.type == "audio"; });
  if (tracks != (s.shape.withAudio ? 1 : 0)) return std::to_string(tracks) + " sound tracks";
  // The sound ends where the source's does, against the picture; a decoder
  // may keep or drop its codec's first block: WMA's is 46 ms.
  const double soundEnd = s.shape.withAudio ? SoundEndSeconds(output) : 0;
  if (s.shape.withAudio) {
    const double soundOn = soundEnd - outTimes.front();
    const double sourceSoundOn = SoundEndSeconds(source) - inTimes.front();
    if (whole && std::abs(soundOn - sourceSoundOn) > std::max(frame, kLargestSoundBlock))
      return "the sound ends " + std::to_string(soundOn) + " s after the picture starts, not " +
             std::to_string(sourceSoundOn);
  }
  const double content = std::max(outTimes.back() + frame, soundEnd);
  if (whole && std::abs(probed.duration - content) > frame)
    return "declared " + std::to_string(probed.duration) + " s for " + std::to_string(content);
  if (!s.shape.withAudio) return "";
  const double inStep = FirstSoundSeconds(source) - FlashSeconds(in, inTimes);
  const double outStep = FirstSoundSeconds(output) - FlashSeconds(out, outTimes);
  if (std::abs(outStep - inStep) > kInStep)
    return "the beep follows the white frame by " + std::to_string(outStep) + " s, not " +
           std::to_string(inStep);
  return "";
}

// What the window tells after converting file alone to AVI.
std::string ToldAfterConverting(const ClipFolder& clips, const std::string& file) {
  ConversionSession session;
  if (!session.Start() || !session.ChooseOutput({0, clips.PathOf("alone.avi")})) return "no window";
  session.OpenVideo(clips.PathOf(file));
  if (!session.Convert()) return "Convert did not start";
  session.WaitForFinish();
  // A note comes as the finish line shows: a few seconds tell there is none.
  const std::string told = session.AnswerBox(IDOK, 5000).text;
  session.Close();
  return told;
}

class SourcesEndToEnd : public ::testing::Test {
 protected:
  // Stored: no compressors, so that frames are compared byte for byte.
  void SetUp() override {
    ASSERT_TRUE(m_program.DeleteApplicationKey());
    using namespace settings_keys;
    m_program.WriteInt(kVideoCompress, kCompressorNumber, -1);
    m_program.WriteInt(kAudioCompress, kCompressorNumber, -1);
    LoadLevelGuard::Set(kUserLoadLevel);
  }
  void TearDown() override { m_program.DeleteApplicationKey(); }

  AppProfile m_program{"BrimvaleStudio", "RoroVozaririd"};
  LoadLevelGuard m_loadLevel;
  ClipFolder m_clips;
};

TEST_F(SourcesEndToEnd, CommonSizesRatesAndContainersConvertFrameForFrameAndInStep) {
  for (const Source& s : kSources) {
    ASSERT_FALSE(m_clips.MakeClip(s.file, s.shape, s.codecs).empty()) << s.file;
    if (s.subtitles) {
      ASSERT_FALSE(
          m_clips.MakeFile(Stem(s.file) + s.subtitles->extension, s.subtitles->text).empty());
    }
  }
  for (const char* format : {"avi", "mkv", "asf"}) {
    const std::string folder = m_clips.MakeFolder(format) + "\\";
    std::vector<std::string> videos, alongside;
    for (const Source& s : kSources)
      if (GoesTo(s, format)) (s.alongside ? alongside : videos).push_back(m_clips.PathOf(s.file));
    const int notWhole = ConversionSession::ConvertBatch(
        videos, format, folder, 10 * ConversionSession::kTimeoutMs, alongside);
    // The last instance to end puts back the user's value, not the first.
    EXPECT_EQ(ReadRawValue(LoadLevelGuard::kSettingsPath, "LoadLevel"), DwordValue(kUserLoadLevel));
    int limited = 0;
    for (const Source& s : kSources) {
      if (!GoesTo(s, format)) continue;
      SCOPED_TRACE(std::string(s.file) + " to " + format);
      const std::string output = folder + Stem(s.file) + "." + format;
      if (!s.wineLimit) {
        EXPECT_EQ(Judge(m_clips, s, output, true), "");
        continue;
      }
      // Short, what there is right, and counted and told alone where the
      // program can tell.
      std::cout << "[ LIMIT    ] " << s.file << ": " << s.wineLimit << "\n";
      limited += s.told ? 1 : 0;
      EXPECT_NE(Judge(m_clips, s, output, true), "") << "whole: Wine's limit is gone";
      EXPECT_EQ(Judge(m_clips, s, output, false), "");
      const std::string told = ToldAfterConverting(m_clips, s.file);
      const std::string early = BuiltInString(IDS_MESSAGE_OUTPUT_ENDS_EARLY) + "\n";
      EXPECT_EQ(told.rfind(early, 0) == 0, s.told) << told;
    }
    EXPECT_EQ(notWhole, limited) << format;
  }
}

// They meet Wine's parser on a file it cannot read (the wine-parser cases in
// tests/CMakeLists.txt).
TEST_F(SourcesEndToEnd, SourcesWineCannotParseAreNotConvertedAndToldSo) {
  for (const Source& s : kSources) {
    if (s.opens) continue;
    SCOPED_TRACE(s.file);
    const std::string video = m_clips.MakeClip(s.file, s.shape, s.codecs);
    ASSERT_FALSE(video.empty());
    std::cout << "[ LIMIT    ] " << s.file << ": " << s.wineLimit << "\n";
    // The folder's backslash doubled, or it would escape the closing quote.
    EXPECT_EQ(ConversionSession::ConvertBatch({video}, "avi", m_clips.Folder() + "\\",
                                              ConversionSession::kTimeoutMs),
              1);
    EXPECT_FALSE(Exists(m_clips.PathOf(Stem(s.file) + ".avi")));
    ConversionSession session;
    ASSERT_TRUE(session.Start('"' + video + '"'));
    for (const ConversionSession::Box& box : NotOpenedBoxes())
      EXPECT_EQ(session.AnswerBox().text, box.text);
    EXPECT_TRUE(session.Close());
  }
}

}  // namespace
