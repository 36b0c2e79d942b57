// Converting with the real program, driven from outside as a user would, and
// the output judged by Debian's ffprobe and ffmpeg outside Wine: the frames of
// a subtitled clip carry the cues in their lower part and are otherwise the
// source's, bit for bit.

#include <windows.h>
#include <gtest/gtest.h>

#include <dshow.h>
#include <wrl/client.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "e2e/ConversionSession.h"
#include "engine/MediaFramework.h"
#include "platform/AppProfile.h"
#include "res/resource.h"
#include "settings/CompressorCatalogue.h"
#include "standins/KeptMjpegSettings.h"
#include "standins/codecs/MjpegResource.h"
#include "support/ClipFolder.h"
#include "support/ComApartment.h"
#include "support/FileContents.h"
#include "support/LinuxCommand.h"
#include "support/LoadLevelGuard.h"
#include "support/MediaProbe.h"

namespace {

constexpr int kFramesPerSecond = 25;
constexpr int kSeconds = 4;
constexpr int kFrames = kFramesPerSecond * kSeconds;
const ClipShape kClip = {320, 240, kFramesPerSecond, kFrames, true};

constexpr char kSubtitles[] =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nSubtitles burned in\r\n\r\n"
    "2\r\n00:00:02,800 --> 00:00:03,400\r\nA second cue\r\non two lines\r\n\r\n";
struct CueFrames {
  int first;
  int last;
};
const CueFrames kCues[] = {{25, 49}, {70, 84}};
// Frames this near a cue's edge may carry it or not: a decoder's first time
// stamp need not be 0.
constexpr int kEdgeFrames = 3;
// One block of the source's compressed sound, in seconds.
constexpr double kAudioBlockSeconds = 1024.0 / 44100;

Cue CueOf(int frame, bool withSubtitles) {
  for (const CueFrames& cue : kCues) {
    if (!withSubtitles) break;
    if (frame >= cue.first + kEdgeFrames && frame <= cue.last - kEdgeFrames) return Cue::Drawn;
    if (frame > cue.first - kEdgeFrames && frame < cue.last + kEdgeFrames) return Cue::Either;
  }
  return Cue::Absent;
}

// Empty when output's frames are the source's, with the cues drawn into the
// lower half of the frames in a cue (and nowhere else); otherwise what differs.
std::string CompareFrames(const DecodedVideo& source, const DecodedVideo& output,
                          bool withSubtitles) {
  if (source.frames.empty() || output.frames.empty()) return "the pictures could not be decoded";
  for (size_t i = 0; i < std::min(source.frames.size(), output.frames.size()); ++i) {
    const std::string wrong =
        CompareFrame(source, output, i, CueOf(static_cast<int>(i), withSubtitles));
    if (!wrong.empty()) return wrong;
  }
  return "";
}

// The largest mean absolute difference of the luma over the 16 x 16 blocks of
// rows [top, bottom) of frame n: a drawn cue moves it far more than lossy
// coding does.
double LargestBlockDifference(const DecodedVideo& a, const DecodedVideo& b, size_t n, int top,
                              int bottom) {
  double largest = 0;
  for (int y = top; y + 16 <= bottom; y += 16)
    for (int x = 0; x + 16 <= a.width; x += 16) {
      int sum = 0;
      for (int row = y; row < y + 16; ++row)
        for (int column = x; column < x + 16; ++column) {
          const size_t at = static_cast<size_t>(row) * a.width + column;
          sum += std::abs(a.frames[n][at] - b.frames[n][at]);
        }
      largest = std::max(largest, sum / 256.0);
    }
  return largest;
}

// Options -> the video compressor at entry (-1: as it opens) -> Settings: the
// quality the codec's dialog opened with; then quality typed and confirmed
// (nullptr: the codec's dialog cancelled), and Options cancelled.
std::string ConfigureCodec(ConversionSession& session, int entry, const char* quality) {
  ProgramDriver::Click(session.Main(), IDC_BUTTON_OUTPUT_SETTINGS);
  HWND options = session.Driver().WaitForWindow("Output options", ConversionSession::kTimeoutMs);
  if (!options) return "no Output options";
  if (entry >= 0) SendDlgItemMessageA(options, IDC_COMBO_VIDEO_COMPRESSOR, CB_SETCURSEL, entry, 0);
  ProgramDriver::Click(options, IDC_BUTTON_VIDEO_CODEC_SETTINGS);
  HWND codec = session.Driver().WaitForWindow("MJPEG Compressor", ConversionSession::kTimeoutMs);
  const std::string shown = codec ? ProgramDriver::Text(codec, IDC_MJPEG_QUALITY) : "no dialog";
  if (codec && quality) SetDlgItemTextA(codec, IDC_MJPEG_QUALITY, quality);
  if (codec) ProgramDriver::Click(codec, quality ? IDOK : IDCANCEL);
  WaitUntil([&] { return !IsWindow(codec); });
  ProgramDriver::Click(options, IDC_BUTTON_OPTIONS_CANCEL);
  WaitUntil([&] { return !IsWindow(options); });
  return shown;
}

// The list position of the compressor named name, as the Output options
// dialog lists the category; -1 when it is not there.
int CompressorEntry(CompressorCategory category, const char* name) {
  const ComApartment com;
  HWND list = CreateWindowA("COMBOBOX", "", CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 0, 100, 100,
                            nullptr, nullptr, nullptr, nullptr);
  FillCompressorList(category, list);
  const int entry = static_cast<int>(SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(name)));
  DestroyWindow(list);
  return entry;
}

// The first luminance quantiser of the first picture of a Motion JPEG file.
int FirstQuantiser(const ClipFolder& clips, const std::string& video) {
  const std::string frame = clips.PathOf("first.jpg");
  RunLinuxCommand("ffmpeg -v error -y -i " + ShellQuote(UnixPath(video)) +
                  " -map 0:v -frames:v 1 -c copy -f image2 " + ShellQuote(UnixPath(frame)));
  const std::string jpeg = ReadFile(frame);
  const size_t dqt = jpeg.find("\xFF\xDB");
  return dqt == std::string::npos || dqt + 5 >= jpeg.size() ? -1
                                                            : static_cast<uint8_t>(jpeg[dqt + 5]);
}

// What process holds once two looks 500 ms apart agree on the handles and
// GDI objects: the threads of a graph that was let go end a moment later.
ProcessResources Settled(HANDLE process, DWORD id) {
  ProcessResources last = ResourcesOf(process, id);
  for (int look = 0; look < 20; ++look) {
    Sleep(500);
    const ProcessResources now = ResourcesOf(process, id);
    if (now.handles == last.handles && now.gdiObjects == last.gdiObjects) return now;
    last = now;
  }
  return last;
}

// The handles that rendering path once more leaves in this process, which
// does nothing else: Wine 8 keeps the filter catalogue's registry keys and an
// event of every RenderFile (measured: 149), Windows none.
int64_t HandlesLeftByRendering(const std::string& path) {
  const auto render = [&] {
    Microsoft::WRL::ComPtr<IGraphBuilder> graph;
    return SUCCEEDED(media::CreateFilterGraph(graph)) &&
           SUCCEEDED(media::RenderPath(graph.Get(), path.c_str()));
  };
  const ComApartment com;
  render();  // what the first rendering of a process loads stays
  const DWORD before = Settled(GetCurrentProcess(), GetCurrentProcessId()).handles;
  const bool rendered = render();
  const DWORD after = Settled(GetCurrentProcess(), GetCurrentProcessId()).handles;
  return rendered ? static_cast<int64_t>(after) - before : -1;
}

class ConvertEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_program.DeleteApplicationKey());
    ASSERT_TRUE(m_session.Start());
  }
  void TearDown() override {
    EXPECT_TRUE(m_session.Close());
    m_program.DeleteApplicationKey();
  }

  // Chooses the output, opens source (unless empty: the one open stays),
  // converts; the finish line.
  std::string Convert(const OutputChoice& choice, const std::string& source) {
    if (!m_session.ChooseOutput(choice)) return "no Output options";
    if (!source.empty()) m_session.OpenVideo(source);
    if (!m_session.Convert()) return "Convert did not start";
    return m_session.WaitForFinish();
  }
  // Checks that output holds source's sound and frames, as many, with the
  // cues drawn where withSubtitles; what ffprobe read of it.
  ProbedMedia ExpectCopy(const std::string& source, const std::string& output, bool withSubtitles) {
    const ProbedMedia probed = ProbeMedia(output);
    EXPECT_TRUE(probed.read) << probed.errors;
    EXPECT_NE(probed.Stream("audio"), nullptr);
    const ProbedStream* video = probed.Stream("video");
    EXPECT_NEAR(video ? video->packets : -1, kFrames, 1) << "video packets (-1: no video)";
    EXPECT_NEAR(DecodedAudioSeconds(output), DecodedAudioSeconds(source), kAudioBlockSeconds);
    const DecodedVideo in = DecodeVideo(source, m_clips.PathOf("source.yuv"));
    const DecodedVideo out = DecodeVideo(output, m_clips.PathOf("output.yuv"));
    EXPECT_NEAR(static_cast<double>(out.frames.size()), in.frames.size(), withSubtitles ? 1 : 0);
    EXPECT_EQ(CompareFrames(in, out, withSubtitles), "");
    return probed;
  }
  std::string Screenshot(const std::string& name) const {
    return ProgramDriver::ScreenshotFolder() + "\\" + name;
  }

  AppProfile m_program{"BrimvaleStudio", "RoroVozaririd"};
  LoadLevelGuard m_loadLevel;  // which a killed program cannot put back
  ClipFolder m_clips;
  ConversionSession m_session;
};

TEST_F(ConvertEndToEnd, BurnsTheSubtitlesIntoTheFramesAndConvertsTheSameSourceAgain) {
  const std::string source = m_clips.MakeMp4("film.mp4", kClip);
  ASSERT_FALSE(source.empty());
  ASSERT_FALSE(m_clips.MakeFile("film.srt", kSubtitles).empty());
  const std::string output = m_clips.PathOf("film.avi");

  EXPECT_EQ(Convert({0, output}, source), FinishLine("Done", output, "320*240"));
  EXPECT_EQ(ProgramDriver::Text(m_session.Main(), IDC_STATIC_SOURCE_LINE), "film.mp4: 00:00:04");
  ProgramDriver::SaveScreenshot(m_session.Main(), Screenshot("convert-done.bmp"));
  ExpectCopy(source, output, true);

  // One frame inside the first cue, as a picture for people to look at.
  RunLinuxCommand("ffmpeg -v error -y -i " + ShellQuote(UnixPath(output)) + " -vf " +
                  ShellQuote("select=eq(n\\,37)") + " -frames:v 1 " +
                  ShellQuote(UnixPath(Screenshot("converted-frame.png"))));

  // The finish reopened the source: the same clip converts again.
  const std::string again = m_clips.PathOf("again.avi");
  EXPECT_EQ(Convert({0, again}, ""), FinishLine("Done", again, "320*240"));
  ExpectCopy(source, again, true);
}

// Through the Matroska and ASF multiplexer stand-ins: the streams, the length
// and the subtitled frames as in AVI, and a seek to the middle through the
// file's index lands on the middle frame.
TEST_F(ConvertEndToEnd, MkvAndAsfHoldTheSubtitledFramesTheSoundAndTheLengthAndSeek) {
  const std::string source = m_clips.MakeMp4("film.mp4", kClip);
  ASSERT_FALSE(source.empty());
  ASSERT_FALSE(m_clips.MakeFile("film.srt", kSubtitles).empty());
  const ProbedMedia original = ProbeMedia(source);
  const struct {
    int format;
    const char* name;
  } outputs[] = {{2, "film.mkv"}, {3, "film.asf"}};
  for (const auto& o : outputs) {
    SCOPED_TRACE(o.name);
    const std::string output = m_clips.PathOf(o.name);
    EXPECT_EQ(Convert({o.format, output}, o.format == outputs[0].format ? source : ""),
              FinishLine("Done", output, "320*240"));
    const ProbedMedia probed = ExpectCopy(source, output, true);
    ASSERT_TRUE(probed.Stream("video") && probed.Stream("audio"));
    EXPECT_EQ(probed.Stream("video")->codec, "rawvideo");
    EXPECT_EQ(probed.Stream("audio")->codec, "pcm_s16le");
    // Wine stamps the first AAC block 23 ms late; the file keeps the offset.
    EXPECT_NEAR(probed.duration, original.duration, 1.0 / kFramesPerSecond + kAudioBlockSeconds);
    const std::vector<std::string> frames = VideoFrameChecksums(output, "yuv420p");
    ASSERT_GT(frames.size(), static_cast<size_t>(kFrames / 2));
    EXPECT_EQ(VideoFrameChecksumAfterSeek(output, kSeconds / 2.0, "yuv420p"), frames[kFrames / 2]);
  }
}

TEST_F(ConvertEndToEnd, WithoutASubtitleFileEveryFrameIsTheSources) {
  const std::string source = m_clips.MakeMp4("plain.mp4", kClip);
  ASSERT_FALSE(source.empty());
  const std::string output = m_clips.PathOf("plain.avi");
  EXPECT_EQ(Convert({0, output}, source), FinishLine("Done", output, "320*240"));
  ExpectCopy(source, output, false);
}

TEST_F(ConvertEndToEnd, StopHalfWayLeavesAPartialFileAndNoHandleOrGdiObjectBehind) {
  const std::string source = m_clips.MakeMp4("long.mp4", kLongClip);
  ASSERT_FALSE(source.empty());
  ASSERT_FALSE(m_clips.MakeFile("long.srt", kSubtitles).empty());
  const std::string output = m_clips.PathOf("long.avi");
  ASSERT_TRUE(m_session.ChooseOutput({0, output}));
  m_session.OpenVideo(source);

  ASSERT_TRUE(m_session.Convert());
  ASSERT_TRUE(WaitUntil([&] { return FileBytes(output) >= (4u << 20); })) << "nothing written";
  ASSERT_EQ(ProgramDriver::Text(m_session.Main(), IDC_BUTTON_CONVERT), "Stop")
      << "the conversion ended before it could be stopped";
  m_session.Stop();

  EXPECT_EQ(m_session.WaitForFinish(), FinishLine("Done", output, "320*240"));
  const ProbedMedia probed = ProbeMedia(output);
  ASSERT_TRUE(probed.read) << probed.errors;
  ASSERT_NE(probed.Stream("video"), nullptr);
  EXPECT_GT(probed.Stream("video")->packets, 0);
  EXPECT_LT(probed.Stream("video")->packets, kLongClip.frames);

  // More pairs: each renders the source once again when it ends, and leaves
  // no more handles than that rendering alone, and no GDI object.
  constexpr int kPairs = 5;
  const ProgramDriver& program = m_session.Driver();
  const DWORD id = GetProcessId(program.Process());
  const ProcessResources first = Settled(program.Process(), id);
  for (int pair = 0; pair < kPairs; ++pair) {
    DeleteFileA(output.c_str());
    ASSERT_TRUE(m_session.Convert());
    ASSERT_EQ(ProgramDriver::Text(m_session.Main(), IDC_BUTTON_CONVERT), "Stop") << pair;
    m_session.Stop();
    ASSERT_EQ(m_session.WaitForFinish().rfind("Done.", 0), 0u) << pair;
  }
  const ProcessResources last = Settled(program.Process(), id);
  const int64_t rendering = HandlesLeftByRendering(source);
  ASSERT_GE(rendering, 0);
  // Fewer than one more a pair: Wine's own count moves by one or two now and
  // then, and anything a conversion leaves adds one a pair at least.
  EXPECT_LT(static_cast<int64_t>(last.handles) - first.handles, kPairs * (rendering + 1))
      << first.handles << " then " << last.handles << "; rendering leaves " << rendering;
  EXPECT_LT(static_cast<int64_t>(last.gdiObjects) - first.gdiObjects, kPairs)
      << first.gdiObjects << " then " << last.gdiObjects;
}

// Ended half-way as by a crash, a conversion leaves a file that decoders read
// with about the length written so far: the writers bring their headers up to
// date as they go, at most a 32nd of the file (here about 2 MB, 0.7 s of
// picture) or 2 s of output behind.
TEST_F(ConvertEndToEnd, AKilledConversionLeavesAFileOfTheLengthWrittenSoFar) {
  const std::string source = m_clips.MakeMp4("long.mp4", kLongClip);
  ASSERT_FALSE(source.empty());
  const struct {
    int format;
    const char* name;
    bool avi;
  } outputs[] = {{0, "killed.avi", true}, {2, "killed.mkv", false}, {3, "killed.asf", false}};
  for (const auto& o : outputs) {
    SCOPED_TRACE(o.name);
    const std::string output = m_clips.PathOf(o.name);
    ASSERT_TRUE(m_session.ChooseOutput({o.format, output}));
    m_session.OpenVideo(source);
    ASSERT_TRUE(m_session.Convert());
    ASSERT_TRUE(WaitUntil([&] { return FileBytes(output) >= (64u << 20); })) << "nothing written";
    ASSERT_EQ(ProgramDriver::Text(m_session.Main(), IDC_BUTTON_CONVERT), "Stop")
        << "the conversion ended before it could be killed";
    m_session.Driver().Kill();

    const ProbedMedia probed = ProbeMedia(output);
    // Where the last block is cut in two, Matroska's reader says so.
    EXPECT_TRUE(probed.read || probed.errors.find("ended prematurely") != std::string::npos)
        << probed.errors;
    ASSERT_TRUE(probed.Stream("video") && probed.Stream("audio"));
    const long frames = probed.Stream("video")->packets;
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, kLongClip.frames);
    // The sound may run ahead of the picture, written out of time order.
    const double sound = DecodedAudioSeconds(output), pictures = double(frames) / kFramesPerSecond;
    EXPECT_GT(sound, 0);
    // The headers are brought up to date once the output has grown by a 32nd
    // of the file or advanced by 2 s, whichever comes first. An AVI's main
    // header counts the picture alone until it is finished (ffmpeg reads one
    // chunk by chunk only while its streams stay within 2 s of each other, and
    // wants the index written at the end beyond): the bytes bound it, as the
    // picture is most of them. Elsewhere sound written ahead of the picture
    // moves the end by time and few bytes: the 2 s bound it.
    const double frame = 1.0 / kFramesPerSecond;
    if (o.avi) {
      EXPECT_NEAR(probed.duration, probed.Stream("video")->duration, 0.001);
      EXPECT_GE(probed.duration + (frames / 32.0 + 1) * frame, pictures);
    } else {
      EXPECT_NEAR(probed.duration, std::max(pictures, sound), 2.0 + frame);
    }
    ASSERT_TRUE(m_session.Start());
  }
}

// Wine has no Windows Media runtime: WMV ends with the program's message and
// the failure line, and nothing is written.
TEST_F(ConvertEndToEnd, WmvWithoutTheWindowsMediaRuntimeEndsWithAMessage) {
  const std::string source = m_clips.MakeMp4("film.mp4", kClip);
  ASSERT_FALSE(source.empty());
  const std::string output = m_clips.PathOf("film.wmv");
  ASSERT_TRUE(m_session.ChooseOutput({1, output}));
  m_session.OpenVideo(source);
  ProgramDriver::Click(m_session.Main(), IDC_BUTTON_CONVERT);

  HWND box = m_session.Driver().WaitForWindow("Message", ConversionSession::kTimeoutMs);
  ASSERT_NE(box, nullptr);
  // Owned by the window, which takes no click while it is up.
  EXPECT_EQ(GetWindow(box, GW_OWNER), m_session.Main());
  EXPECT_FALSE(IsWindowEnabled(m_session.Main()));
  EXPECT_EQ(ProgramDriver::Text(box, 0xFFFF),
            "Failed to GenerateProfile Audio video with script!  hr=0x80004001\n");
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(m_session.WaitForFinish(), FinishLine("Conversion failed", output, "320*240"));
  EXPECT_EQ(GetFileAttributesA(output.c_str()), INVALID_FILE_ATTRIBUTES);
}

// The compressor stand-ins chosen in the Output options dialog, the codec set
// to quality 60 through its Settings button (which scales the first luminance
// quantiser, 16, to 13), and that quality still the codec's after a restart.
TEST_F(ConvertEndToEnd, CompressesWithTheChosenCompressorsAtTheConfiguredQuality) {
  KeptMjpegSettings kept;
  const int video = CompressorEntry(CompressorCategory::Video, "MJPEG Compressor");
  const int audio = CompressorEntry(CompressorCategory::Audio, "IMA ADPCM Compressor");
  ASSERT_GT(video, 0);
  ASSERT_GT(audio, 0);
  const std::string source = m_clips.MakeMp4("film.mp4", kClip);
  ASSERT_FALSE(source.empty());
  ASSERT_FALSE(m_clips.MakeFile("film.srt", kSubtitles).empty());
  const std::string output = m_clips.PathOf("film.avi");

  EXPECT_EQ(ConfigureCodec(m_session, video, "60"), "85");
  EXPECT_EQ(Convert({0, output, video, audio}, source), FinishLine("Done", output, "320*240"));

  const ProbedMedia probed = ProbeMedia(output);
  ASSERT_TRUE(probed.read) << probed.errors;
  ASSERT_TRUE(probed.Stream("video") && probed.Stream("audio"));
  EXPECT_EQ(probed.Stream("video")->codec, "mjpeg");
  EXPECT_EQ(probed.Stream("audio")->codec, "adpcm_ima_wav");
  EXPECT_NEAR(probed.Stream("video")->packets, kFrames, 1);
  // Led to the sound's start (23 ms to the picture's 80 ms) by a dropped frame.
  EXPECT_NEAR(probed.Stream("video")->duration, kSeconds + 1.0 / kFramesPerSecond, 0.001);
  // IMA ADPCM completes its last block with silence: up to 2041 samples more.
  EXPECT_NEAR(DecodedAudioSeconds(output), DecodedAudioSeconds(source),
              kAudioBlockSeconds + 2041.0 / 44100);
  EXPECT_EQ(FirstQuantiser(m_clips, output), 13);

  const DecodedVideo in = DecodeVideo(source, m_clips.PathOf("source.yuv"));
  const DecodedVideo out = DecodeVideo(output, m_clips.PathOf("output.yuv"));
  ASSERT_EQ(out.height, in.height);
  ASSERT_GE(out.frames.size(), 90u);
  for (size_t n : {10u, 37u, 60u, 77u}) {
    const bool inCue = CueOf(static_cast<int>(n), true) == Cue::Drawn;
    EXPECT_LT(LargestBlockDifference(in, out, n, 0, in.height / 2), 12) << "frame " << n;
    if (inCue)
      EXPECT_GT(LargestBlockDifference(in, out, n, in.height / 2, in.height), 25) << "frame " << n;
    else
      EXPECT_LT(LargestBlockDifference(in, out, n, in.height / 2, in.height), 12) << "frame " << n;
  }
  // Every picture is a key frame: a seek lands on the very time asked for.
  const LinuxCommandResult seek = RunLinuxCommand(
      "ffprobe -v error -read_intervals 2%+#1 -select_streams v -show_entries frame=pts_time "
      "-of csv=p=0 " +
      ShellQuote(UnixPath(output)));
  EXPECT_EQ(seek.output.substr(0, seek.output.find('\n')), "2.000000");

  ASSERT_TRUE(m_session.Close());
  ConversionSession restarted;
  ASSERT_TRUE(restarted.Start());
  EXPECT_EQ(ConfigureCodec(restarted, -1, nullptr), "60")
      << "the stored choice, and the quality the codec kept";
  EXPECT_TRUE(restarted.Close());
}

}  // namespace
