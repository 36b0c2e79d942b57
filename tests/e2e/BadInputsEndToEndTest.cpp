// The real program on what users open, type and keep: broken and odd sources,
// outputs that cannot be written, bad stored settings. Each case ends with a
// clear message or a sound result, the program closes normally, the subtitle
// filter's "LoadLevel" is the user's again and the stored settings are the
// ones the user confirmed last.

#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "e2e/ConversionSession.h"
#include "i18n/Localization.h"
#include "platform/AppProfile.h"
#include "platform/Path.h"
#include "platform/Str.h"
#include "res/resource.h"
#include "support/ClipFolder.h"
#include "support/FileContents.h"
#include "support/LinuxCommand.h"
#include "support/LoadLevelGuard.h"
#include "support/MediaProbe.h"
#include "support/RawRegistry.h"
#include "support/TestNoise.h"

namespace {

using Box = ConversionSession::Box;

constexpr char kTitle[] = "RoroVozaririd";
constexpr DWORD kUserLoadLevel = 2;
constexpr int kFrames = 50;  // of ClipFolder's clips: 2 s at 25 per second
constexpr int kNone = -1;
constexpr int kKept = -2;
constexpr char kH264[] = "-c:v libx264 -preset ultrafast -pix_fmt yuv420p";

const std::vector<Box> kNotOpenedBoxes = NotOpenedBoxes();

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// A computer without a sound device, for the program alone: Wine leaves its
// audio drivers out of a program whose own DLL overrides say so.
class NoSoundDevice {
 public:
  NoSoundDevice() {
    for (const char* driver : {"winealsa.drv", "winepulse.drv", "wineoss.drv"})
      WriteRawValue(kOverrides, driver, TextValue(""));
  }
  ~NoSoundDevice() { RegDeleteTreeA(HKEY_CURRENT_USER, kProgramDefaults); }
  NoSoundDevice(const NoSoundDevice&) = delete;
  NoSoundDevice& operator=(const NoSoundDevice&) = delete;

 private:
  static constexpr char kProgramDefaults[] = "Software\\Wine\\AppDefaults\\RoroVozaririd.exe";
  static constexpr char kOverrides[] =
      "Software\\Wine\\AppDefaults\\RoroVozaririd.exe\\DllOverrides";
};

std::optional<RawValue> LoadLevel() {
  return ReadRawValue(LoadLevelGuard::kSettingsPath, "LoadLevel");
}

void ExpectBoxes(const std::vector<Box>& shown, const std::vector<Box>& expected) {
  ASSERT_EQ(shown.size(), expected.size());
  for (size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].caption, expected[i].caption) << i;
    // An expected text ending in "..." stands for any text that begins so.
    const std::string& text = expected[i].text;
    if (text.ends_with("..."))
      EXPECT_EQ(shown[i].text.substr(0, text.size() - 3), text.substr(0, text.size() - 3)) << i;
    else
      EXPECT_EQ(shown[i].text, text) << i;
  }
}

// A conversion of a source that is odd or meets an obstacle, and how it ends.
struct ConversionCase {
  const char* name;
  std::function<std::string(const ClipFolder&)> source;
  const char* output;  // in the clips' folder
  int format = 0;
  std::function<void(const std::string& source, const std::string& output)> beforeConvert =
      [](const std::string&, const std::string&) {};
  std::vector<Box> boxes = {};  // answered with the first's button... Yes for a question
  const char* finish = "Done";
  int frames = kFrames;  // in the output; kNone: no output, kKept: the file as it was
  bool sound = true;
  bool soundDevice = true;
};

class BadInputs : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_program.DeleteApplicationKey());
    LoadLevelGuard::Set(kUserLoadLevel);
  }
  void TearDown() override { m_program.DeleteApplicationKey(); }

  // Starts the program and confirms AVI into output.avi in Options.
  void StartWithAviOutput() {
    ASSERT_TRUE(m_session.Start());
    m_output = m_clips.PathOf("output.avi");
    ASSERT_TRUE(m_session.ChooseOutput({0, m_output}));
  }
  // Closes the program: the load level is the user's, the stored output the
  // one confirmed.
  void CloseAndCheckSettings() {
    EXPECT_TRUE(m_session.Close());
    EXPECT_EQ(LoadLevel(), DwordValue(kUserLoadLevel));
    EXPECT_EQ(m_program.GetString("Settings", "OutputName", ""), m_output);
    EXPECT_EQ(m_program.GetInt("Settings", "nOuptputFormat", -1), 0);
  }
  // Converts c's source, answering its boxes; then checks the finish line, the
  // output, that no box follows and that the load level is the user's again.
  void Convert(const ConversionCase& c) {
    SCOPED_TRACE(c.name);
    const std::string source = c.source(m_clips);
    ASSERT_FALSE(source.empty());
    std::optional<NoSoundDevice> mute;
    if (!c.soundDevice) mute.emplace();
    ASSERT_TRUE(m_session.Start());
    m_output = m_clips.PathOf(c.output);
    ASSERT_TRUE(m_session.ChooseOutput({c.format, m_output}));
    m_session.OpenVideo(source);
    c.beforeConvert(source, m_output);
    SetDlgItemTextA(m_session.Main(), IDC_STATIC_SUMMARY_LINE, "");
    ProgramDriver::Click(m_session.Main(), IDC_BUTTON_CONVERT);
    std::vector<Box> shown;
    for (const Box& expected : c.boxes)
      shown.push_back(m_session.AnswerBox(expected.caption == "Warning" ? IDYES : IDOK));
    ExpectBoxes(shown, c.boxes);
    const std::string finish = m_session.WaitForFinish();
    EXPECT_EQ(finish.substr(0, finish.find('.')), c.finish) << finish;
    const ProbedMedia probed = ProbeMedia(m_output);
    RunLinuxCommand("chattr -i " + ShellQuote(UnixPath(m_output)) + " " +
                    ShellQuote(UnixPath(path::FolderOf(source.c_str()))));
    if (c.frames < 0) {
      EXPECT_EQ(ReadFile(m_output), c.frames == kKept ? "kept" : "");
    } else {
      ASSERT_TRUE(probed.read) << probed.errors;
      ASSERT_NE(probed.Stream("video"), nullptr);
      EXPECT_NEAR(probed.Stream("video")->packets, c.frames, 1);
      EXPECT_EQ(probed.Stream("audio") != nullptr, c.sound);
      // Decoded, never the source's coded sound copied across.
      if (c.sound && probed.Stream("audio")) {
        EXPECT_EQ(probed.Stream("audio")->codec, "pcm_s16le");
      }
    }
    std::vector<Box> late;
    EXPECT_TRUE(m_session.Close(&late));
    for (const Box& more : late) ADD_FAILURE() << "more: " << more.caption << ": " << more.text;
    EXPECT_EQ(LoadLevel(), DwordValue(kUserLoadLevel));
  }
  std::vector<Box> AnswerBoxes(size_t count, int button = IDOK) {
    std::vector<Box> shown;
    for (size_t i = 0; i < count; ++i) shown.push_back(m_session.AnswerBox(button));
    return shown;
  }

  AppProfile m_program{"BrimvaleStudio", "RoroVozaririd"};
  LoadLevelGuard m_loadLevel;
  ClipFolder m_clips;
  ConversionSession m_session;
  std::string m_output;
};

// What cannot be converted is refused with its reason when it is opened, and
// the program stays without a source.
TEST_F(BadInputs, SourcesThatCannotBeConvertedAreRefusedWhenOpened) {
  const auto random = [](const char* name) {
    return [=](const ClipFolder& c) { return Wide(c.MakeFile(name, TestNoise(7).Bytes(65536))); };
  };
  const struct {
    const char* name;
    std::function<std::wstring(const ClipFolder&)> make;
    std::vector<Box> boxes;
  } cases[] = {
      {"empty", [](const ClipFolder& c) { return Wide(c.MakeFile("empty.avi", "")); },
       kNotOpenedBoxes},
      {"random .avi", random("random.avi"), kNotOpenedBoxes},
      {"random .mp4", random("random.mp4"), kNotOpenedBoxes},
      {"random .mkv", random("random.mkv"), kNotOpenedBoxes},
      {"sound only",
       [](const ClipFolder& c) { return Wide(c.MakeWav("voice.wav", 2)); },
       {{"Error", "Failed to ..."}, kNotOpenedBoxes[1]}},
      // The open-file dialog hands the program '?' for what the code page lacks.
      {"Japanese name",
       [](const ClipFolder& c) {
         const std::wstring name = Wide(c.Folder()) + L"\u6620\u753B.avi";
         return CopyFileW(Wide(c.MakeAvi("clip.avi")).c_str(), name.c_str(), FALSE) ? name : L"";
       },
       {{"Error", BuiltInString(IDS_MESSAGE_UNUSABLE_NAME)}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring source = c.make(m_clips);
    ASSERT_FALSE(source.empty());
    StartWithAviOutput();
    ASSERT_TRUE(m_session.AskToOpen(source));
    ExpectBoxes(AnswerBoxes(c.boxes.size()), c.boxes);
    EXPECT_EQ(ProgramDriver::Text(m_session.Main(), IDC_STATIC_SOURCE_LINE), "00:00:00");
    ProgramDriver::Click(m_session.Main(), IDC_BUTTON_CONVERT);
    ExpectBoxes(AnswerBoxes(1), {{kTitle, "Please open an media file fisrt!"}});
    CloseAndCheckSettings();
  }
}

// What can be converted is, and what keeps the output from being written ends
// the conversion with its message and the failure line.
TEST_F(BadInputs, ConversionsEndWithTheirOutputOrTheirReason) {
  const auto clip = [](const char* name, bool sound) {
    return [=](const ClipFolder& c) {
      return c.MakeAvi(name, ClipShape{320, 240, 25, kFrames, sound});
    };
  };
  const auto subtitled = [](const char* name, std::string (*cues)()) {
    return [=](const ClipFolder& c) {
      c.MakeFile(std::string(name, strlen(name) - 4) + ".srt", cues());
      return c.MakeAvi(name, ClipShape{320, 240, 25, kFrames, true});
    };
  };
  const ConversionCase cases[] = {
      // A converter needs no speakers: the sound goes into the file decoded.
      {.name = "no sound device",
       .source = clip("unheard.avi", true),
       .output = "unheard-out.avi",
       .soundDevice = false},
      {.name = "no sound device, AAC",
       .source = [](const ClipFolder& c) { return c.MakeMp4("unheard.mp4", {}); },
       .output = "unheard-aac.mkv",
       .format = 2,
       .soundDevice = false},
      // An output that ends where its source does, whose streams start at 5 s.
      {.name = "streams from 5 s",
       .source =
           [](const ClipFolder& c) {
             ClipShape shape;
             shape.startTime = 5;
             return c.MakeClip("from 5 s.mkv", shape, kH264 + std::string(" -c:a aac"));
           },
       .output = "from5-out.avi"},
      {.name = "no sound to AVI",
       .source = clip("silent.avi", false),
       .output = "silent-out.avi",
       .sound = false},
      {.name = "no sound to MKV",
       .source = clip("silent2.avi", false),
       .output = "silent.mkv",
       .format = 2,
       .sound = false},
      {.name = "no sound to ASF",
       .source = clip("silent3.avi", false),
       .output = "silent.asf",
       .format = 3,
       .sound = false},
      {.name = "path of 259 characters",
       .source =
           [](const ClipFolder& c) {
             const std::string folder(253 - c.Folder().size(), 'd');
             c.MakeFolder(folder);
             return c.MakeAvi(folder + "\\v.avi", ClipShape{320, 240, 25, kFrames, true});
           },
       .output = "long-out.avi"},
      // Wine lets root write where the read-only attribute forbids it: the
      // test makes the folder immutable too.
      {.name = "read-only source folder",
       .source =
           [](const ClipFolder& c) {
             const std::string folder = c.MakeFolder("locked");
             const std::string clip =
                 c.MakeAvi("locked\\clip.avi", ClipShape{320, 240, 25, kFrames, true});
             SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_READONLY);
             RunLinuxCommand("chattr +i " + ShellQuote(UnixPath(folder)));
             return clip;
           },
       .output = "locked-out.avi"},
      // Subtitle files beside the source: the video converts whatever they hold.
      {.name = "10,000 cues",
       .source = subtitled("cues.avi",
                           [] {
                             std::string cues;
                             for (int i = 0; i < 10000; ++i)
                               cues += str::Printf(
                                   "%d\n00:%02d:%02d,%03d --> 00:%02d:%02d,%03d\nCue %d\n\n", i + 1,
                                   i / 600, i / 10 % 60, i % 10 * 100, (i + 1) / 600,
                                   (i + 1) / 10 % 60, (i + 1) % 10 * 100, i);
                             return cues;
                           }),
       .output = "cues-out.avi"},
      {.name = "subtitles of 50 MB",
       .source = subtitled(
           "big.avi",
           [] { return "1\n00:00:00,000 --> 00:00:02,000\nBig\n\n" + std::string(50 << 20, 'x'); }),
       .output = "big-out.avi"},
      {.name = "cues backwards and beyond the video",
       .source = subtitled("odd.avi",
                           [] {
                             return std::string(
                                 "1\n00:00:02,000 --> 00:00:01,000\nBack\n\n"
                                 "2\n10:00:00,000 --> 10:00:05,000\nLate\n\n"
                                 "3\n00:00:00,500 --> 99:59:59,999\nLong\n");
                           }),
       .output = "odd-out.avi"},
      {.name = "output folder missing",
       .source = clip("clip1.avi", true),
       .output = "missing\\out.avi",
       .boxes = {{kTitle, "..."}},
       .finish = "Conversion failed",
       .frames = kNone,
       .sound = false},
      // Wine lets root write a read-only file: the test makes it immutable.
      {.name = "read-only output",
       .source = clip("clip2.avi", true),
       .output = "readonly.avi",
       .beforeConvert =
           [](const std::string&, const std::string& output) {
             std::ofstream(output) << "kept";
             SetFileAttributesA(output.c_str(), FILE_ATTRIBUTE_READONLY);
             RunLinuxCommand("chattr +i " + ShellQuote(UnixPath(output)));
           },
       .boxes = {{"Warning", "..."}, {kTitle, "..."}},
       .finish = "Conversion failed",
       .frames = kKept,
       .sound = false},
      {.name = "source removed",
       .source = clip("clip3.avi", true),
       .output = "removed-source.avi",
       .beforeConvert =
           [](const std::string& source, const std::string&) {
             RunLinuxCommand("rm " + ShellQuote(UnixPath(source)));
           },
       // Converted from what was open; then it cannot be opened again.
       .boxes = {kNotOpenedBoxes[0]}},
  };
  for (const ConversionCase& c : cases) {
    Convert(c);
    if (HasFatalFailure()) return;
  }
}

// A source cut in the middle converts the frames before the cut. Wine's parser
// reads it (the wine-parser cases in tests/CMakeLists.txt).
TEST_F(BadInputs, ATruncatedSourceConvertsTheFramesBeforeTheCut) {
  Convert({.name = "truncated",
           .source =
               [](const ClipFolder& c) {
                 const std::string whole = ReadFile(c.MakeAvi("whole.avi"));
                 return c.MakeFile("truncated.avi", whole.substr(0, whole.size() / 2));
               },
           .output = "truncated-out.avi",
           .frames = kFrames / 2});
}

// A value as the registry stores it.
struct Stored {
  std::string key;  // under HKEY_CURRENT_USER
  const char* name;
  RawValue value;
};

// Stored values of the wrong type, out of range, negative, huge or 2 MB long:
// the program starts and tells what it cannot use, converts with what it can,
// and the user's next choices are stored.
TEST_F(BadInputs, BadStoredSettingsAreSurvivedAndReplacedByTheNextChoice) {
  const std::string app = "Software\\BrimvaleStudio\\RoroVozaririd\\";
  const std::string settings = app + "Settings";
  const std::string huge(2 << 20, 'x');
  const struct {
    const char* name;
    std::vector<Stored> values;
    size_t boxesAtStart;
    size_t boxesAtOptions;
    const char* finish;  // of a conversion with the stored settings; nullptr: none
    size_t boxesAtConvert = 0;
  } cases[] = {
      {"format as text", {{settings, "nOuptputFormat", TextValue("0")}}, 0, 0, nullptr},
      {"format 7", {{settings, "nOuptputFormat", DwordValue(7)}}, 1, 2, nullptr},
      {"format -1", {{settings, "nOuptputFormat", DwordValue(-1)}}, 1, 2, nullptr},
      {"output name as a number", {{settings, "OutputName", DwordValue(5)}}, 0, 0, nullptr},
      {"output name of 2 MB", {{settings, "OutputName", TextValue(huge)}}, 1, 0, nullptr},
      {"sizes",
       {{settings, "OutputWidth", DwordValue(-5)},
        {settings, "OutputHigh", DwordValue(0x7FFFFFFF)}},
       0,
       0,
       "Done"},
      {"bitrates",
       {{settings, "n_video_bitrate", DwordValue(-1024)},
        {settings, "n_audio_bitrate", TextValue("fast")}},
       0,
       0,
       "Done"},
      {"compressor beyond the list",
       {{app + "DexVideoCompress", "CompressorNumber", DwordValue(999)}},
       0,
       0,
       "Conversion failed",
       1},
      {"compressor as text",
       {{app + "DexAudioCompress", "CompressorNumber", TextValue("1")}},
       0,
       0,
       "Done"},
      {"language of 2 MB", {{app + "Option", "CurrentLanguage", TextValue(huge)}}, 0, 0, "Done"},
      {"last folder of 2 MB", {{app + "Option", "LastPhotoFolder", TextValue(huge)}}, 0, 0, "Done"},
      {"font",
       {{app + "english", "lfFaceName", TextValue(huge)},
        {app + "english", "lfHeight", DwordValue(0x80000000)},
        {app + "english", "lfWeight", TextValue("bold")},
        {app + "english", "lfCharSet", DwordValue(999)}},
       0,
       0,
       "Done"},
      {"load level as text",
       {{LoadLevelGuard::kSettingsPath, "LoadLevel", TextValue("2")}},
       0,
       0,
       "Done"},
  };
  const std::string clip = m_clips.MakeAvi("clip.avi", ClipShape{320, 240, 25, kFrames, true});
  ASSERT_FALSE(clip.empty());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // What an earlier run stored, then the case's values over it.
    ASSERT_TRUE(m_program.DeleteApplicationKey());
    m_program.WriteInt("Settings", "nOuptputFormat", 0);
    m_program.WriteString("Settings", "OutputName", m_clips.PathOf("stored.avi").c_str());
    DeleteFileA(m_clips.PathOf("stored.avi").c_str());
    for (const Stored& v : c.values) WriteRawValue(v.key, v.name, v.value);
    const std::optional<RawValue> loadLevel = LoadLevel();

    ConversionSession session;
    ASSERT_TRUE(session.Start("", c.boxesAtStart));
    session.OpenVideo(clip);
    if (c.finish) {
      SetDlgItemTextA(session.Main(), IDC_STATIC_SUMMARY_LINE, "");
      ProgramDriver::Click(session.Main(), IDC_BUTTON_CONVERT);
      for (size_t i = 0; i < c.boxesAtConvert; ++i) session.AnswerBox();
      const std::string finish = session.WaitForFinish();
      EXPECT_EQ(finish.substr(0, finish.find('.')), c.finish) << finish;
    }
    m_output = m_clips.PathOf("chosen.avi");
    EXPECT_TRUE(session.ChooseOutput({0, m_output}, c.boxesAtOptions));
    EXPECT_TRUE(session.Close());
    EXPECT_EQ(LoadLevel(), loadLevel);
    EXPECT_EQ(m_program.GetString("Settings", "OutputName", ""), m_output);
    EXPECT_EQ(m_program.GetInt("Settings", "nOuptputFormat", -1), 0);
  }
  LoadLevelGuard::Set(kUserLoadLevel);
}

// Gives everyone access to key, and no more; true when it took.
bool AllowOnly(const char* key, REGSAM access) {
  HKEY handle = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, WRITE_DAC, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return false;
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
  alignas(DWORD) BYTE aclBytes[256];
  ACL* acl = reinterpret_cast<ACL*>(aclBytes);
  SECURITY_DESCRIPTOR descriptor;
  const bool made = InitializeAcl(acl, sizeof aclBytes, ACL_REVISION) &&
                    AddAccessAllowedAce(acl, ACL_REVISION, access, everyone) &&
                    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
                    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
  const bool set =
      made && RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
  FreeSid(everyone);
  RegCloseKey(handle);
  return set;
}

// The program's keys cannot be written (an administrator locked them): the
// program starts with its defaults and converts what the user chose, and
// keeps nothing of it.
TEST_F(BadInputs, AProgramKeyThatCannotBeWrittenStillConverts) {
  const std::string app = "Software\\BrimvaleStudio\\RoroVozaririd";
  std::vector<std::string> keys = {app};
  for (const char* section :
       {"Settings", "Option", "DexVideoCompress", "DexAudioCompress", "english"})
    keys.push_back(app + "\\" + section);
  for (const std::string& key : keys)
    ASSERT_TRUE(AllowOnly(key.c_str(), KEY_READ | WRITE_DAC | DELETE)) << key;
  const std::string clip = m_clips.MakeAvi("locked-key.avi");
  ASSERT_TRUE(m_session.Start());
  m_output = m_clips.PathOf("locked-key-out.avi");
  ASSERT_TRUE(m_session.ChooseOutput({0, m_output}));
  m_session.OpenVideo(clip);
  EXPECT_TRUE(m_session.Convert());
  EXPECT_EQ(m_session.WaitForFinish(), FinishLine("Done", m_output, "320*240"));
  EXPECT_TRUE(m_session.Close());
  EXPECT_EQ(LoadLevel(), DwordValue(kUserLoadLevel));
  const ProbedMedia probed = ProbeMedia(m_output);
  ASSERT_NE(probed.Stream("video"), nullptr) << probed.errors;
  EXPECT_EQ(probed.Stream("video")->packets, kFrames);
  EXPECT_EQ(m_program.GetString("Settings", "OutputName", "none"), "none");
  for (const std::string& key : keys) EXPECT_TRUE(AllowOnly(key.c_str(), KEY_ALL_ACCESS)) << key;
}

}  // namespace
