#include "settings/SettingsPersistence.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/ScriptedPrompts.h"
#include "support/ScratchProfile.h"

namespace {

using namespace settings_keys;

// The start-up reads in their order, with the stored output name as the
// main window passes it.
ConversionSettings LoadAll(const AppProfile& profile) {
  ConversionSettings settings;
  LoadOutputFormat(settings, profile);
  LoadOutputPath(settings, profile.GetString(kSettings, kOutputName, kDefaultOutputPath));
  LoadOutputSize(settings, profile);
  LoadBitratesAndProfile(settings, profile);
  return settings;
}

TEST(LoadSettings, EmptyRegistryGivesTheDefaults) {
  ScratchProfile profile("defaults");
  ScriptedPrompts prompts;
  ConversionSettings s = LoadAll(profile);
  EXPECT_EQ(s.outputFormat, OutputFormat::Wmv);
  EXPECT_EQ(s.outputPath, "c:\\output.wmv");
  EXPECT_EQ(s.outputWidth, 0);
  EXPECT_EQ(s.outputHeight, 0);
  EXPECT_EQ(s.videoBitrate, 798720) << "not the construction value 389120";
  EXPECT_EQ(s.audioBitrate, 128000);
  EXPECT_EQ(s.fileProfile, 0);
  EXPECT_EQ(s.frameRateIndex, 1);
  EXPECT_DOUBLE_EQ(s.outputFrameRate, 23.976);
  EXPECT_TRUE(prompts.Records().empty());
}

TEST(LoadSettings, TakesStoredValuesAsTheyAre) {
  ScratchProfile profile("stored");
  profile.WriteInt(kSettings, kOutputFormat, 0);
  profile.WriteString(kSettings, kOutputName, "e:\\films\\holiday.mkv");
  profile.WriteInt(kSettings, kOutputWidth, 641);
  profile.WriteInt(kSettings, kOutputHeight, -3);
  profile.WriteInt(kSettings, kVideoBitrate, 1000);
  profile.WriteInt(kSettings, kAudioBitrate, 320000);
  profile.WriteInt(kSettings, kFileProfile, 1);
  // Written for the record only: never read back.
  profile.WriteInt(kSettings, kFrameRateIndex, 3);
  profile.WriteString(kSettings, kFrameRate, "25.000");

  ConversionSettings s = LoadAll(profile);
  EXPECT_EQ(s.outputFormat, OutputFormat::Avi);
  EXPECT_EQ(s.outputPath, "e:\\films\\holiday.avi");
  EXPECT_EQ(s.outputWidth, 641);
  EXPECT_EQ(s.outputHeight, -3);
  EXPECT_EQ(s.videoBitrate, 1000);
  EXPECT_EQ(s.audioBitrate, 320000);
  EXPECT_EQ(s.fileProfile, 1);
  EXPECT_EQ(s.frameRateIndex, 1);
  EXPECT_DOUBLE_EQ(s.outputFrameRate, 23.976);
}

TEST(LoadSettings, OutputNameTakesTheStoredFormatsExtension) {
  ScratchProfile profile("mkv");
  profile.WriteInt(kSettings, kOutputFormat, 2);
  profile.WriteString(kSettings, kOutputName, "d:\\clips\\talk.avi");
  EXPECT_EQ(LoadAll(profile).outputPath, "d:\\clips\\talk.mkv");
}

TEST(LoadSettings, UnknownStoredFormatLeavesThePathEmpty) {
  for (int format : {4, -1, 1000}) {
    ScratchProfile profile("badformat");
    ScriptedPrompts prompts;
    profile.WriteInt(kSettings, kOutputFormat, format);
    profile.WriteString(kSettings, kOutputName, "d:\\clips\\talk.avi");
    ConversionSettings s = LoadAll(profile);
    EXPECT_EQ(static_cast<int>(s.outputFormat), format);
    EXPECT_EQ(s.outputPath, "");
    EXPECT_TRUE(prompts.ShowedOneMessage("Does not support the video format", "Error", nullptr));
    // The rest of the reads go on.
    EXPECT_EQ(s.videoBitrate, 798720);
  }
}

TEST(LoadSettings, ValuesOfTheWrongTypeReadAsDefaults) {
  ScratchProfile profile("wrongtype");
  const char two[] = "2";
  profile.WriteRaw(kSettings, kOutputFormat, REG_SZ, two, sizeof two);
  const DWORD number = 7;
  profile.WriteRaw(kSettings, kOutputName, REG_DWORD, &number, sizeof number);
  const BYTE bytes[4] = {0, 1, 0, 0};
  profile.WriteRaw(kSettings, kVideoBitrate, REG_BINARY, bytes, sizeof bytes);
  ConversionSettings s = LoadAll(profile);
  EXPECT_EQ(s.outputFormat, OutputFormat::Wmv);
  EXPECT_EQ(s.outputPath, "c:\\output.wmv");
  EXPECT_EQ(s.videoBitrate, 798720);
}

// Each value once; in which order cannot be seen from outside.
TEST(SaveSettings, WritesEveryValueOnce) {
  ScratchProfile target("save");
  std::vector<std::string> log;
  RecordingProfile profile(target, log);
  ConversionSettings s;
  s.outputPath = "c:\\out\\film.avi";
  s.outputFormat = OutputFormat::Avi;
  s.outputWidth = 720;
  s.outputHeight = 400;
  s.videoCompressorIndex = -1;
  s.audioCompressorIndex = -2;
  s.videoBitrate = 512000;
  s.audioBitrate = 320000;
  s.fileProfile = 1;
  SaveSettings(profile, s, 6, "12.5 fps");

  std::vector<std::string> expected = {
      "Settings/OutputFrameRateIndex=6",
      "Settings/OutputFrameRate=12.5 fps",
      "Settings/OutputName=c:\\out\\film.avi",
      "Settings/OutputWidth=720",
      "Settings/OutputHigh=400",
      "DexVideoCompress/CompressorNumber=-1",
      "DexAudioCompress/CompressorNumber=-2",
      "Settings/n_video_bitrate=512000",
      "Settings/n_audio_bitrate=320000",
      "Settings/nOuptputFormat=0",
  };
  std::sort(log.begin(), log.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(log, expected);
  EXPECT_FALSE(target.HasValue(kSettings, kFileProfile)) << "b_file_profile is never written";
}

TEST(SaveSettings, FirstFrameRateChoiceIsStoredAs23976) {
  ScratchProfile profile("framerate");
  ConversionSettings s;
  SaveSettings(profile, s, 0, "25.000000");
  EXPECT_EQ(profile.GetString(kSettings, kFrameRate, ""), "23.976");
  SaveSettings(profile, s, -1, "23.976");
  EXPECT_EQ(profile.GetInt(kSettings, kFrameRateIndex, 0), -1);
  EXPECT_EQ(profile.GetString(kSettings, kFrameRate, ""), "23.976");
}

TEST(FrameRateOfChoice, MapsEachChoice) {
  const struct {
    int32_t index;
    double rate;
    int32_t indexAfter;
  } cases[] = {
      {0, 25.0, 0}, {1, 23.976, 1}, {2, 24.0, 2},   {3, 25.0, 3},    {4, 29.97, 4},
      {5, 30.0, 5}, {6, 12.5, 6},   {7, 23.976, 1}, {-1, 23.976, 1},
  };
  for (const auto& c : cases) {
    int32_t index = c.index;
    EXPECT_DOUBLE_EQ(FrameRateOfChoice(index, 25.0, 12.5), c.rate) << c.index;
    EXPECT_EQ(index, c.indexAfter);
  }
}

}  // namespace
