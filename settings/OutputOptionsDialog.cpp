#include "settings/OutputOptionsDialog.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iterator>

#include "i18n/Localization.h"
#include "i18n/Translation.h"
#include "platform/Path.h"
#include "platform/Prompts.h"
#include "platform/Str.h"
#include "settings/OutputFormat.h"
#include "settings/SettingsPersistence.h"
#include "settings/VfwCodecs.h"

using Microsoft::WRL::ComPtr;
using namespace settings_keys;

namespace {

constexpr char kOriginalSize[] = "Original size";
constexpr char kOriginalFrameRate[] = "Original frame rate";

// Windows Media audio bitrates in bits per second, by list position.
constexpr int32_t kAudioBitrates[] = {64000, 128000, 192000, 320000};
constexpr const char* kAudioBitrateTexts[] = {"64", "128", "192", "320"};

struct Size {
  int32_t width;
  int32_t height;
};
// Resolution list positions 1 to 7; 0 is the source's size and 8 a typed one.
constexpr Size kResolutionPresets[] = {{640, 480}, {720, 576}, {720, 480}, {480, 576},
                                       {480, 480}, {352, 288}, {352, 240}};
constexpr int kCustomResolution = 8;
constexpr int kTypedFrameRate = 6;

constexpr int kBitrateRow[] = {
    IDC_STATIC_VIDEO_COMPRESSOR_BITRATE, IDC_EDIT_VIDEO_BITRATE,  IDC_STATIC_VIDEO_KBPS,
    IDC_STATIC_AUDIO_COMPRESSOR_BITRATE, IDC_COMBO_AUDIO_BITRATE, IDC_STATIC_AUDIO_KBPS};
constexpr int kCompressorRow[] = {IDC_STATIC_VIDEO_COMPRESSOR,     IDC_COMBO_VIDEO_COMPRESSOR,
                                  IDC_BUTTON_VIDEO_CODEC_SETTINGS, IDC_STATIC_AUDIO_COMPRESSOR,
                                  IDC_COMBO_AUDIO_COMPRESSOR,      IDC_STATIC_OPTIONS_NOTE};
constexpr int kHiddenAtOpening[] = {IDC_STATIC_RESOLUTION,
                                    IDC_COMBO_RESOLUTION,
                                    IDC_STATIC_FRAME_RATE,
                                    IDC_COMBO_FRAME_RATE,
                                    IDC_STATIC_RESIZE_MODE,
                                    IDC_COMBO_RESIZE_MODE,
                                    IDC_EDIT_WIDTH,
                                    IDC_EDIT_HEIGHT,
                                    IDC_COMBO_VIDEO_COMPRESSOR,
                                    IDC_COMBO_AUDIO_COMPRESSOR,
                                    IDC_BUTTON_VIDEO_CODEC_SETTINGS,
                                    IDC_STATIC_VIDEO_COMPRESSOR,
                                    IDC_STATIC_AUDIO_COMPRESSOR,
                                    IDC_STATIC_OPTIONS_NOTE};

// A leading decimal integer of the text, 0 without one, held within 32 bits.
long long LeadingInteger(const char* text, long long low, long long high) {
  long long value = std::strtoll(text, nullptr, 10);
  return value < low ? low : value > high ? high : value;
}

// Whole multiples of 8 pixels, at least 16.
int32_t OutputDimension(const char* text) {
  auto value = static_cast<int32_t>(LeadingInteger(text, INT_MIN, INT_MAX));
  value -= value % 8;
  return value < 16 ? 16 : value;
}

// The field counts units of 1024 bits per second ("Kbps").
constexpr long kMaxVideoKbps = INT_MAX / 1024;

// Bits per second from a field that holds a whole number of Kbps from 1 to
// kMaxVideoKbps, blanks around it allowed; false for anything else.
bool ParseVideoBitrate(const char* text, int32_t& bitsPerSecond) {
  while (*text == ' ') ++text;
  if (*text < '0' || *text > '9') return false;
  char* end = nullptr;
  errno = 0;
  const long kbps = std::strtol(text, &end, 10);
  while (*end == ' ') ++end;
  if (*end || errno == ERANGE || kbps < 1 || kbps > kMaxVideoKbps) return false;
  bitsPerSecond = static_cast<int32_t>(kbps * 1024);
  return true;
}

}  // namespace

OutputOptionsDialog::OutputOptionsDialog(const ConversionSettings& settings,
                                         const SourceInfo& source, int sourceReady,
                                         const AppProfile& profile, CompressorSlots compressors,
                                         VfwCodecState& vfwState)
    : ModalDialog(IDD_OUTPUT_OPTIONS),
      m_settings(settings),
      m_openedWithPath(settings.outputPath),
      m_source(source),
      m_sourceReady(sourceReady),
      m_profile(profile),
      m_compressors(compressors),
      m_vfwState(vfwState) {}

bool OutputOptionsDialog::Route(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  return DispatchRoutes(*this, kRoutes, msg, wp, lp, result);
}

BOOL OutputOptionsDialog::OnInitDialog() {
  FillFixedLists();
  ShowResolutionRow();
  SetItemText(IDC_EDIT_OUTPUT_FILE, m_settings.outputPath.c_str());
  ShowSize(m_settings.outputWidth, m_settings.outputHeight, false);
  SelectResolutionPreset();
  ShowFrameRateRow();
  ShowStoredCompressor(IDC_COMBO_VIDEO_COMPRESSOR, CompressorCategory::Video, kVideoCompress);
  ShowStoredCompressor(IDC_COMBO_AUDIO_COMPRESSOR, CompressorCategory::Audio, kAudioCompress);
  // The resize list is empty: neither choice can be selected.
  Select(IDC_COMBO_RESIZE_MODE, m_settings.resizeMode == 2 ? 0 : 1);
  for (int id : kHiddenAtOpening) ShowItem(id, false);
  ShowBitrates();
  Select(IDC_COMBO_OUTPUT_FORMAT, static_cast<int>(m_settings.outputFormat));
  OnFormatChange();
  TranslateDialog(Hwnd(), IDD_OUTPUT_OPTIONS);
  return TRUE;
}

void OutputOptionsDialog::FillFixedLists() {
  for (int format = 0; format < kOutputFormatCount; ++format) {
    SendDlgItemMessageA(
        Hwnd(), IDC_COMBO_OUTPUT_FORMAT, CB_ADDSTRING, 0,
        reinterpret_cast<LPARAM>(FormatListText(static_cast<OutputFormat>(format))));
  }
  for (const char* text : kAudioBitrateTexts) {
    SendDlgItemMessageA(Hwnd(), IDC_COMBO_AUDIO_BITRATE, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(text));
  }
}

void OutputOptionsDialog::ShowResolutionRow() {
  std::string first = kOriginalSize;
  if (m_source.width != 0 || m_source.height != 0)
    first = str::Printf("%s %d*%d", kOriginalSize, m_source.width, m_source.height);
  SendDlgItemMessageA(Hwnd(), IDC_COMBO_RESOLUTION, CB_DELETESTRING, 0, 0);
  SendDlgItemMessageA(Hwnd(), IDC_COMBO_RESOLUTION, CB_INSERTSTRING, 0,
                      reinterpret_cast<LPARAM>(first.c_str()));
  ShowItem(IDC_COMBO_VFW_CODECS, false);
}

void OutputOptionsDialog::ShowSize(int32_t width, int32_t height, bool forTyping) {
  SetItemText(IDC_EDIT_WIDTH, str::Printf("%d", width).c_str());
  SetItemText(IDC_EDIT_HEIGHT, str::Printf("%d", height).c_str());
  ShowItem(IDC_EDIT_WIDTH, forTyping);
  ShowItem(IDC_EDIT_HEIGHT, forTyping);
}

// The first preset that matches the output size, testing the source's first.
void OutputOptionsDialog::SelectResolutionPreset() {
  const int32_t width = m_settings.outputWidth;
  const int32_t height = m_settings.outputHeight;
  int position = kCustomResolution;
  if (width == m_source.width && height == m_source.height) {
    position = 0;
  } else {
    for (int i = 0; i < static_cast<int>(std::size(kResolutionPresets)); ++i) {
      if (kResolutionPresets[i].width == width && kResolutionPresets[i].height == height) {
        position = i + 1;
        break;
      }
    }
  }
  Select(IDC_COMBO_RESOLUTION, position);
}

void OutputOptionsDialog::ShowFrameRateRow() {
  std::string first = kOriginalFrameRate;
  if (m_sourceReady > 0) first = str::Printf("%s %.3f", kOriginalFrameRate, m_source.frameRate);
  SendDlgItemMessageA(Hwnd(), IDC_COMBO_FRAME_RATE, CB_DELETESTRING, 0, 0);
  SendDlgItemMessageA(Hwnd(), IDC_COMBO_FRAME_RATE, CB_INSERTSTRING, 0,
                      reinterpret_cast<LPARAM>(first.c_str()));
  std::string rate = m_settings.frameRateIndex != 0
                         ? str::Printf("%.3f", m_settings.outputFrameRate)
                         : str::Printf("%f", 23.976);
  SetItemText(IDC_EDIT_FRAME_RATE, rate.c_str());
  ShowItem(IDC_EDIT_FRAME_RATE, false);
  Select(IDC_COMBO_FRAME_RATE, m_settings.frameRateIndex);
}

// The registry's choice, not the record's: -2 never chosen, -1 none, else a position.
void OutputOptionsDialog::ShowStoredCompressor(int listId, CompressorCategory category,
                                               const char* section) {
  FillCompressorList(category, Item(listId));
  const int stored = m_profile.GetInt(section, kCompressorNumber, kCompressorNeverChosen);
  if (stored == kCompressorNeverChosen) {
    SelectDefaultCompressor(listId, category);
    return;
  }
  Select(listId, stored >= -1 && stored < INT_MAX ? stored + 1 : -1);
}

void OutputOptionsDialog::SelectDefaultCompressor(int listId, CompressorCategory category) {
  const char* fragment = category == CompressorCategory::Video ? kDefaultVideoCompressorName
                                                               : kDefaultAudioCompressorName;
  int position = 0;
  Select(listId, FindCompressorByName(Hwnd(), category, fragment, position) ? position + 1 : 0);
}

void OutputOptionsDialog::ShowBitrates() {
  SetItemText(IDC_EDIT_VIDEO_BITRATE, str::Printf("%d", m_settings.videoBitrate / 1024).c_str());
  SetItemText(IDC_EDIT_AUDIO_BITRATE, str::Printf("%d", m_settings.audioBitrate / 1000).c_str());
  int position = -1;
  for (int i = 0; i < static_cast<int>(std::size(kAudioBitrates)); ++i) {
    if (kAudioBitrates[i] == m_settings.audioBitrate) position = i;
  }
  Select(IDC_COMBO_AUDIO_BITRATE, position);
}

void OutputOptionsDialog::ShowRowsOf(OutputFormat format) {
  const bool windowsMedia = format == OutputFormat::Wmv;
  for (int id : kBitrateRow) ShowItem(id, windowsMedia);
  for (int id : kCompressorRow) ShowItem(id, !windowsMedia);
}

void OutputOptionsDialog::OnFormatChange() {
  const auto format = static_cast<OutputFormat>(Selection(IDC_COMBO_OUTPUT_FORMAT));
  m_settings.outputFormat = format;
  char path[path::kMaxPath] = "";
  std::string withExtension;
  if (!ItemText(IDC_EDIT_OUTPUT_FILE, path, sizeof path))
    ErrorBox(Hwnd(), kPathTooLong);
  else if (ApplyFormatExtension(format, path, withExtension))
    SetItemText(IDC_EDIT_OUTPUT_FILE, withExtension.c_str());

  if (!IsKnownFormat(format)) {
    Prompts::Current().ShowMessage(Hwnd(), "unknown error", "error", MB_OK);
    return;
  }
  ShowRowsOf(format);
}

void OutputOptionsDialog::OnBrowse() {
  std::string chosen;
  if (BrowseOutputPath(Hwnd(), m_settings.outputFormat, m_openedWithPath.c_str(), chosen))
    SetItemText(IDC_EDIT_OUTPUT_FILE, chosen.c_str());
}

void OutputOptionsDialog::OnCodecSettings() { ConfigureVfwCodec(Hwnd(), m_vfwState); }

void OutputOptionsDialog::OnDefault() {
  if (m_settings.outputFormat == OutputFormat::Wmv) {
    SetItemText(IDC_EDIT_VIDEO_BITRATE, "780");
    Select(IDC_COMBO_AUDIO_BITRATE, 1);
    return;
  }
  if (!IsKnownFormat(m_settings.outputFormat)) return;
  SelectDefaultCompressor(IDC_COMBO_VIDEO_COMPRESSOR, CompressorCategory::Video);
  SelectDefaultCompressor(IDC_COMBO_AUDIO_COMPRESSOR, CompressorCategory::Audio);
}

void OutputOptionsDialog::OnOk() {
  OkEntries entries;
  if (!ReadOkEntries(entries)) return;
  const int frameRateChoice = Selection(IDC_COMBO_FRAME_RATE);
  m_settings.frameRateIndex = frameRateChoice;
  m_settings.outputFrameRate =
      FrameRateOfChoice(m_settings.frameRateIndex, m_source.frameRate, entries.typedRate);
  m_settings.outputPath = entries.path;
  m_settings.outputWidth = OutputDimension(NumberFieldText(IDC_EDIT_WIDTH).c_str());
  m_settings.outputHeight = OutputDimension(NumberFieldText(IDC_EDIT_HEIGHT).c_str());
  m_settings.videoCompressorIndex =
      ApplyCompressorChoice(IDC_COMBO_VIDEO_COMPRESSOR, CompressorCategory::Video,
                            m_settings.useVideoCompressor, m_compressors.video);
  m_settings.audioCompressorIndex =
      ApplyCompressorChoice(IDC_COMBO_AUDIO_COMPRESSOR, CompressorCategory::Audio,
                            m_settings.useAudioCompressor, m_compressors.audio);
  m_settings.resizeMode = Selection(IDC_COMBO_RESIZE_MODE) == 0 ? 2 : 0;
  m_settings.videoBitrate = entries.videoBitrate;
  ApplyAudioBitrate();
  m_settings.outputFormat = static_cast<OutputFormat>(Selection(IDC_COMBO_OUTPUT_FORMAT));
  SaveSettings(m_profile, m_settings, frameRateChoice, entries.frameRateText);
  End(IDOK);
}

// Everything that can refuse OK is checked before anything is stored.
bool OutputOptionsDialog::ReadOkEntries(OkEntries& entries) {
  ItemText(IDC_EDIT_FRAME_RATE, entries.frameRateText, sizeof entries.frameRateText);
  entries.typedRate = std::strtod(entries.frameRateText, nullptr);
  if (!(entries.typedRate >= 0.001)) {
    Prompts::Current().ShowMessage(Hwnd(), "The frame rate is too small!", AppTitle(),
                                   MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (!ItemText(IDC_EDIT_OUTPUT_FILE, entries.path, sizeof entries.path)) {
    ErrorBox(Hwnd(), kPathTooLong);
    return false;
  }
  if (!path::HasFileName(entries.path))
    return Refuse(IDS_MESSAGE_NO_OUTPUT_NAME, IDC_EDIT_OUTPUT_FILE);
  if (path::HoldsUnusableCharacters(entries.path))
    return Refuse(IDS_MESSAGE_UNUSABLE_NAME, IDC_EDIT_OUTPUT_FILE);
  entries.videoBitrate = m_settings.videoBitrate;
  if (ParseVideoBitrate(ItemText(IDC_EDIT_VIDEO_BITRATE).c_str(), entries.videoBitrate))
    return true;
  // Hidden for the other formats, the field cannot be mended: the bitrate
  // stays what it was.
  if (Selection(IDC_COMBO_OUTPUT_FORMAT) != static_cast<int>(OutputFormat::Wmv)) return true;
  return Refuse(IDS_MESSAGE_BAD_BITRATE, IDC_EDIT_VIDEO_BITRATE);
}

bool OutputOptionsDialog::Refuse(UINT textId, int fieldId) {
  Prompts::Current().ShowMessage(Hwnd(), GetLocalizedString(textId).c_str(),
                                 GetLocalizedString(IDS_MESSAGE_ERROR).c_str(),
                                 MB_OK | MB_ICONEXCLAMATION);
  SendMessageA(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(fieldId)), TRUE);
  return false;
}

std::string OutputOptionsDialog::NumberFieldText(int id) const {
  char text[32] = "";
  ItemText(id, text, sizeof text);
  return text;
}

// Position 0, no compressor, keeps the current instance: it is only not used.
int OutputOptionsDialog::ApplyCompressorChoice(int listId, CompressorCategory category,
                                               int32_t& use, ComPtr<IBaseFilter>& instance) {
  const int position = Selection(listId) - 1;
  if (position == -1) {
    use = 0;
    return position;
  }
  instance.Reset();
  CreateCompressor(Hwnd(), category, position, &instance);
  use = 1;
  return position;
}

void OutputOptionsDialog::ApplyAudioBitrate() {
  const int position = Selection(IDC_COMBO_AUDIO_BITRATE);
  if (position >= 0 && position < static_cast<int>(std::size(kAudioBitrates)))
    m_settings.audioBitrate = kAudioBitrates[position];
}

void OutputOptionsDialog::OnCancel() { End(IDCANCEL); }

void OutputOptionsDialog::OnResolutionChange() {
  const int position = Selection(IDC_COMBO_RESOLUTION);
  if (position == 0) {
    ShowSize(m_source.width, m_source.height, false);
  } else if (position > 0 && position < kCustomResolution) {
    const Size& preset = kResolutionPresets[position - 1];
    ShowSize(preset.width, preset.height, false);
  } else if (position == kCustomResolution) {
    ShowSize(m_settings.outputWidth, m_settings.outputHeight, true);
  }
}

void OutputOptionsDialog::OnFrameRateChange() {
  int32_t position = Selection(IDC_COMBO_FRAME_RATE);
  if (position < 0 || position > kTypedFrameRate) return;
  const bool typed = position == kTypedFrameRate;
  const double rate = FrameRateOfChoice(position, m_source.frameRate, m_settings.outputFrameRate);
  SetItemText(IDC_EDIT_FRAME_RATE, str::Printf(typed ? "%.3f" : "%f", rate).c_str());
  ShowItem(IDC_EDIT_FRAME_RATE, typed);
}

int OutputOptionsDialog::Selection(int listId) const {
  return static_cast<int>(SendDlgItemMessageA(Hwnd(), listId, CB_GETCURSEL, 0, 0));
}

// A position the list does not hold leaves it without a selection.
void OutputOptionsDialog::Select(int listId, int position) {
  const LRESULT count = SendDlgItemMessageA(Hwnd(), listId, CB_GETCOUNT, 0, 0);
  if (position < 0 || position >= count) position = -1;
  SendDlgItemMessageA(Hwnd(), listId, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}
