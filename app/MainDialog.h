#pragma once
// The main window: the program's only top-level window (template 102).

#include <windows.h>

#include <string>

#include "app/FrameworkConversionSteps.h"
#include "engine/GraphBuilder.h"
#include "engine/GraphHandles.h"
#include "engine/SourceInfo.h"
#include "i18n/LanguageManager.h"
#include "platform/AppProfile.h"
#include "platform/ModalDialog.h"
#include "res/resource.h"
#include "settings/ConversionSettings.h"
#include "settings/VfwCodecState.h"

// The window timer that counts a conversion's seconds.
constexpr UINT_PTR kProgressTimer = 1112;

class MainDialog : public ModalDialog {
 public:
  // profile, languages, graph and steps are not owned and outlive the window.
  MainDialog(const AppProfile& profile, LanguageManager& languages, GraphHandles& graph,
             ConversionSteps& steps = FrameworkConversionSteps::Shared());
  ~MainDialog() override;

  const ConversionSettings& Settings() const { return m_settings; }

 protected:
  BOOL OnInitDialog() override;
  // Language item commands and the right-click menu come before the routes.
  void PreviewMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool Route(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  friend struct MainDialogProbe;  // tests look at and set the window's state
  static const MessageRoute<MainDialog> kRoutes[];

  void OnExit();
  void OnChooseFont();
  void OnCancel();
  void OnHelp();
  void OnHomepage();
  void OnAbout();
  INT_PTR OnSysCommand(WPARAM, LPARAM);
  INT_PTR OnPaint(WPARAM, LPARAM);
  INT_PTR OnQueryDragIcon(WPARAM, LPARAM);
  INT_PTR OnClose(WPARAM, LPARAM);
  void CloseWindow();

  void AddAboutToSystemMenu();
  void ReadWindowsVersion();
  // The text of section/name, whose default is the built-in path's file name
  // in the shell folder (Windows 6 and later) or the built-in path itself.
  std::string MyVideoDefault(const char* section, const char* name, const char* builtInDefault,
                             int folder);
  void ShowStartupSummary();
  void OnOptions();
  void ShowOptionsSummary();

  // Run control: Convert and Stop, the progress timer, the graph's events.
  void ConvertOrStop();
  // A source is open, the output is not the source, and an existing output
  // may be replaced (it is deleted then).
  bool ReadyToConvert();
  // False when the user keeps an existing output file.
  bool ConfirmReplacingOutput();
  // The language's text textId in the language's "Error" box of the window.
  void ShowError(UINT textId);
  void ShowFilterProperties();
  void StartProgress();
  void OnProgressTimer();
  INT_PTR OnGraphEvent(WPARAM, LPARAM);
  enum class Outcome { Done, Failed };
  // Stops and tears down the graph, restores the window, writes the finish
  // line and renders the source again.
  void FinishConversion(Outcome outcome);
  void ShowFinishLine(Outcome outcome);
  void OnBuildFilters();

  void OnOpenVideo();
  // The open-file dialog; false when nothing was chosen.
  bool AskVideoPath(char* chosen, DWORD size);
  void ReleaseSourceGraph();
  // Empties the graph, control and event slots, in the reverse of their making.
  void ReleaseGraph();

  const AppProfile& m_profile;
  LanguageManager& m_languages;
  GraphHandles& m_graph;
  ConversionSteps& m_steps;

  HICON m_appIcon = nullptr;
  SourceInfo m_source;
  ConversionSettings m_settings;
  std::string m_errorText;  // the framework's text of the last failure
  int m_converting = 0;
  int m_elapsedSeconds = 0;
  int m_sourceReady = 0;
  std::string m_sourcePath;
  OSVERSIONINFOA m_osVersion = {};
  bool m_comInitialized = false;
  // The subtitle filter's "LoadLevel" as found at start, and 1 while it must be put back.
  DWORD m_savedLoadLevel = 0;
  int m_loadLevelChanged = 0;
  VfwCodecState m_vfwCodecState;
};

inline const MessageRoute<MainDialog> MainDialog::kRoutes[] = {
    OnCommand(IDCANCEL, &MainDialog::OnCancel),
    OnCommand(IDOK, &MainDialog::OnCancel),
    OnCommand(IDC_BUTTON_EXIT, &MainDialog::OnExit),
    OnMessage(WM_CLOSE, &MainDialog::OnClose),
    OnCommand(IDM_POPUPMENU_FONT, &MainDialog::OnChooseFont),
    OnCommand(IDC_BUTTON_OUTPUT_SETTINGS, &MainDialog::OnOptions),
    OnCommand(IDC_BUTTON_ADD_VIDEO, &MainDialog::OnOpenVideo),
    OnCommand(IDC_BUTTON_HELP, &MainDialog::OnHelp),
    OnCommand(ID_HELP, &MainDialog::OnHelp),
    OnCommand(IDC_BUTTON_HOMEPAGE, &MainDialog::OnHomepage),
    OnCommand(IDC_BUTTON_ABOUT, &MainDialog::OnAbout),
    OnCommand(IDM_ABOUT, &MainDialog::OnAbout),
    OnMessage(WM_SYSCOMMAND, &MainDialog::OnSysCommand),
    OnMessage(WM_PAINT, &MainDialog::OnPaint),
    OnMessage(WM_QUERYDRAGICON, &MainDialog::OnQueryDragIcon),
    OnCommand(IDC_BUTTON_CONVERT, &MainDialog::ConvertOrStop),
    OnCommand(IDC_BUTTON_BUILD_FILTERS, &MainDialog::OnBuildFilters),
    OnTimer(kProgressTimer, &MainDialog::OnProgressTimer),
    OnMessage(kGraphNotifyMessage, &MainDialog::OnGraphEvent),
};
