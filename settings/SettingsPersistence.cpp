#include "settings/SettingsPersistence.h"

#include "settings/CompressorCatalogue.h"

using namespace settings_keys;

namespace {

struct CompressorChoice {
  CompressorCategory category;
  const char* section;
  const char* defaultFragment;
  int32_t& index;
  int32_t& use;
  Microsoft::WRL::ComPtr<IBaseFilter>& instance;
};

void LoadCompressorChoice(HWND owner, const CompressorChoice& choice, const AppProfile& profile) {
  const int stored = profile.GetInt(choice.section, kCompressorNumber, kCompressorNeverChosen);
  int position = stored;
  if (stored == kCompressorNeverChosen &&
      !FindCompressorByName(owner, choice.category, choice.defaultFragment, position))
    position = -1;
  if (position == -1) {
    choice.use = 0;
    choice.index = -1;
    return;
  }
  if (stored != kCompressorNeverChosen) choice.use = 1;
  choice.index = position;
  CreateCompressor(owner, choice.category, position, &choice.instance);
}

}  // namespace

void LoadOutputFormat(ConversionSettings& settings, const AppProfile& profile) {
  settings.outputFormat = static_cast<OutputFormat>(profile.GetInt(kSettings, kOutputFormat, 1));
}

void LoadCompressorChoices(HWND owner, ConversionSettings& settings, const AppProfile& profile,
                           CompressorSlots compressors) {
  LoadCompressorChoice(
      owner,
      {CompressorCategory::Video, kVideoCompress, kDefaultVideoCompressorName,
       settings.videoCompressorIndex, settings.useVideoCompressor, compressors.video},
      profile);
  LoadCompressorChoice(
      owner,
      {CompressorCategory::Audio, kAudioCompress, kDefaultAudioCompressorName,
       settings.audioCompressorIndex, settings.useAudioCompressor, compressors.audio},
      profile);
}

void LoadOutputPath(ConversionSettings& settings, const std::string& storedPath) {
  if (!ApplyFormatExtension(settings.outputFormat, storedPath.c_str(), settings.outputPath))
    settings.outputPath.clear();
}

void LoadOutputSize(ConversionSettings& settings, const AppProfile& profile) {
  settings.outputWidth = profile.GetInt(kSettings, kOutputWidth, 0);
  settings.outputHeight = profile.GetInt(kSettings, kOutputHeight, 0);
}

void LoadBitratesAndProfile(ConversionSettings& settings, const AppProfile& profile) {
  settings.videoBitrate = profile.GetInt(kSettings, kVideoBitrate, kDefaultVideoBitrate);
  settings.audioBitrate = profile.GetInt(kSettings, kAudioBitrate, 128000);
  settings.fileProfile = profile.GetInt(kSettings, kFileProfile, 0);
}

void SaveSettings(const AppProfile& profile, const ConversionSettings& settings,
                  int frameRateChoice, const char* frameRateText) {
  profile.WriteInt(kSettings, kFrameRateIndex, frameRateChoice);
  profile.WriteString(kSettings, kFrameRate, frameRateChoice == 0 ? "23.976" : frameRateText);
  profile.WriteString(kSettings, kOutputName, settings.outputPath.c_str());
  profile.WriteInt(kSettings, kOutputWidth, settings.outputWidth);
  profile.WriteInt(kSettings, kOutputHeight, settings.outputHeight);
  profile.WriteInt(kVideoCompress, kCompressorNumber, settings.videoCompressorIndex);
  profile.WriteInt(kAudioCompress, kCompressorNumber, settings.audioCompressorIndex);
  profile.WriteInt(kSettings, kVideoBitrate, settings.videoBitrate);
  profile.WriteInt(kSettings, kAudioBitrate, settings.audioBitrate);
  profile.WriteInt(kSettings, kOutputFormat, static_cast<int>(settings.outputFormat));
}
