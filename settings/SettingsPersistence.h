#pragma once
// Reading the settings at start-up and writing them on the Output options
// dialog's OK. The value names are those of earlier installations, spelling
// included: stored data is found only under them.

#include <string>

#include "platform/AppProfile.h"
#include "settings/CompressorCatalogue.h"
#include "settings/ConversionSettings.h"

namespace settings_keys {
constexpr char kSettings[] = "Settings";
constexpr char kVideoCompress[] = "DexVideoCompress";
constexpr char kAudioCompress[] = "DexAudioCompress";
constexpr char kCompressorNumber[] = "CompressorNumber";
constexpr char kOutputFormat[] = "nOuptputFormat";
constexpr char kOutputName[] = "OutputName";
constexpr char kOutputWidth[] = "OutputWidth";
constexpr char kOutputHeight[] = "OutputHigh";
constexpr char kFrameRateIndex[] = "OutputFrameRateIndex";
constexpr char kFrameRate[] = "OutputFrameRate";
constexpr char kVideoBitrate[] = "n_video_bitrate";
constexpr char kAudioBitrate[] = "n_audio_bitrate";
constexpr char kFileProfile[] = "b_file_profile";
}  // namespace settings_keys

// A stored compressor number that was never chosen.
constexpr int kCompressorNeverChosen = -2;
constexpr char kDefaultOutputPath[] = "c:\\output.avi";
constexpr int kDefaultVideoBitrate = 798720;  // 780 x 1024

// The start-up reads, in the order the main window makes them between its own
// steps.
void LoadOutputFormat(ConversionSettings& settings, const AppProfile& profile);
// The stored compressor choices become the indexes, use flags and instances in
// compressor slots. A choice never made takes the first compressor whose name
// holds the category's default fragment, else none. Boxes are owned by owner.
void LoadCompressorChoices(HWND owner, ConversionSettings& settings, const AppProfile& profile,
                           CompressorSlots compressors);
// storedPath is "Settings"/"OutputName" read with its default; it gets the
// extension of the output format. A format without one leaves the path empty.
void LoadOutputPath(ConversionSettings& settings, const std::string& storedPath);
void LoadOutputSize(ConversionSettings& settings, const AppProfile& profile);
void LoadBitratesAndProfile(ConversionSettings& settings, const AppProfile& profile);

// The Output options dialog's OK. frameRateChoice is the frame-rate list's
// selection as read (-1 without one) and frameRateText the text stored for it.
// The compressor numbers written are the record's indexes.
void SaveSettings(const AppProfile& profile, const ConversionSettings& settings,
                  int frameRateChoice, const char* frameRateText);
