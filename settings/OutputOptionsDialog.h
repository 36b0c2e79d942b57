#pragma once
// The Output options dialog (template 129): output format and file, and either
// the compressors (AVI, MKV, ASF) or the Windows Media bitrates (WMV). It works
// on its own copy of the settings; OK writes them to the registry and replaces
// the compressor instances, and the caller takes the copy back.

#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/SourceInfo.h"
#include "platform/AppProfile.h"
#include "platform/ModalDialog.h"
#include "platform/Path.h"
#include "res/resource.h"
#include "settings/CompressorCatalogue.h"
#include "settings/ConversionSettings.h"
#include "settings/VfwCodecState.h"

class OutputOptionsDialog : public ModalDialog {
 public:
  // source and sourceReady are read only. profile, the compressor slots and
  // vfwState are not owned and outlive the dialog.
  OutputOptionsDialog(const ConversionSettings& settings, const SourceInfo& source, int sourceReady,
                      const AppProfile& profile, CompressorSlots compressors,
                      VfwCodecState& vfwState);

  // The dialog's copy, to be taken back when Run gives IDOK.
  const ConversionSettings& Settings() const { return m_settings; }

 protected:
  BOOL OnInitDialog() override;
  bool Route(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  static const MessageRoute<OutputOptionsDialog> kRoutes[];

  void FillFixedLists();
  void ShowResolutionRow();
  void SelectResolutionPreset();
  void ShowFrameRateRow();
  void ShowStoredCompressor(int listId, CompressorCategory category, const char* section);
  void SelectDefaultCompressor(int listId, CompressorCategory category);
  void ShowBitrates();
  void ShowRowsOf(OutputFormat format);

  void OnFormatChange();
  void OnBrowse();
  void OnCodecSettings();
  void OnDefault();
  void OnOk();
  void OnCancel();
  void OnResolutionChange();
  void OnFrameRateChange();

  struct OkEntries {
    char frameRateText[128] = "";
    double typedRate = 0;
    char path[path::kMaxPath] = "";
    int32_t videoBitrate = 0;  // bits per second
  };
  bool ReadOkEntries(OkEntries& entries);
  // The language's text textId in an "Error" box, and the focus on the field
  // to mend; false.
  bool Refuse(UINT textId, int fieldId);
  // A numeric field's text; only its leading number counts.
  std::string NumberFieldText(int id) const;
  // Replaces the instance for the list's choice; gives the catalogue position.
  int ApplyCompressorChoice(int listId, CompressorCategory category, int32_t& use,
                            Microsoft::WRL::ComPtr<IBaseFilter>& instance);
  void ApplyAudioBitrate();
  void ShowSize(int32_t width, int32_t height, bool forTyping);
  int Selection(int listId) const;
  void Select(int listId, int position);

  ConversionSettings m_settings;
  const std::string m_openedWithPath;
  const SourceInfo m_source;
  const int m_sourceReady;
  const AppProfile& m_profile;
  CompressorSlots m_compressors;
  VfwCodecState& m_vfwState;
};

inline const MessageRoute<OutputOptionsDialog> OutputOptionsDialog::kRoutes[] = {
    OnCommand(IDC_COMBO_OUTPUT_FORMAT, &OutputOptionsDialog::OnFormatChange, CBN_SELCHANGE),
    OnCommand(IDC_BUTTON_BROWSE, &OutputOptionsDialog::OnBrowse),
    OnCommand(IDC_BUTTON_VIDEO_CODEC_SETTINGS, &OutputOptionsDialog::OnCodecSettings),
    OnCommand(IDC_BUTTON_OUTPUT_DEAULT, &OutputOptionsDialog::OnDefault),
    // Enter clicks the default button, OK.
    OnCommand(IDC_BUTTON_OPTIONS_OK, &OutputOptionsDialog::OnOk),
    OnCommand(IDOK, &OutputOptionsDialog::OnOk),
    OnCommand(IDC_BUTTON_OPTIONS_CANCEL, &OutputOptionsDialog::OnCancel),
    OnCommand(IDCANCEL, &OutputOptionsDialog::OnCancel),
    OnCommand(IDC_COMBO_RESOLUTION, &OutputOptionsDialog::OnResolutionChange, CBN_SELCHANGE),
    OnCommand(IDC_COMBO_FRAME_RATE, &OutputOptionsDialog::OnFrameRateChange, CBN_SELCHANGE),
};
