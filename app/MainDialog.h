#pragma once
// The main window: the program's only top-level window (template 102).

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/FrameworkConversionSteps.h"
#include "app/TaskbarButton.h"
#include "engine/GraphBuilder.h"
#include "engine/GraphHandles.h"
#include "engine/RegistryAdjustments.h"
#include "engine/SourceInfo.h"
#include "i18n/LanguageManager.h"
#include "platform/AppProfile.h"
#include "platform/ModalDialog.h"
#include "res/resource.h"
#include "settings/ConversionSettings.h"
#include "settings/VfwCodecState.h"

class BatchRun;

// The window timer that counts a conversion's seconds.
constexpr UINT_PTR kProgressTimer = 1112;
// Posted to itself: the command line's request once the window is up, and
// the next video of a batch once the last one has ended.
constexpr UINT kStartRequestMessage = WM_APP + 1;
constexpr UINT kBatchNextMessage = WM_APP + 2;

class MainDialog : public ModalDialog {
 public:
  // profile, languages, graph and steps are not owned and outlive the window.
  MainDialog(const AppProfile& profile, LanguageManager& languages, GraphHandles& graph,
             ConversionSteps& steps = FrameworkConversionSteps::Shared());
  ~MainDialog() override;

  const ConversionSettings& Settings() const { return m_settings; }
  // What to do once the window is up; set before Run.
  void SetStartRequest(StartRequest request) { m_startRequest = std::move(request); }
  // The process's exit code: how many videos of batches were not converted.
  int ExitCode() const;

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
  // Stop while converting, Convert otherwise, in the current language.
  void ShowConvertButtonText();
  void RelabelWhileConverting();
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
  // False when the user does not want the picture without the sound that the
  // built graph leaves out; a batch goes on, not counting the video whole.
  bool AcceptPictureAlone();
  // False when the user keeps an existing output file.
  bool ConfirmReplacingOutput();
  // The language's text textId in the language's "Error" box of the window.
  void ShowError(UINT textId);
  void ShowFilterProperties();
  void StartProgress();
  void OnProgressTimer();
  INT_PTR OnGraphEvent(WPARAM, LPARAM);
  // Declined: the user did not want the built graph to run (no finish line).
  enum class Outcome { Done, Failed, Stopped, Declined };
  // Stops and tears down the graph, restores the window, writes the finish
  // line and renders the source again (not between the videos of a batch).
  void FinishConversion(Outcome outcome);
  void RestoreWindow(Outcome outcome);
  void ShowFinishLine(Outcome outcome);
  // The source's frame duration (100 ns units); 0 when not known.
  int64_t FrameTime() const;
  void OnBuildFilters();

  void OnOpenVideo();
  // The open-file dialog; false when nothing was chosen.
  bool AskVideoPath(char* chosen, DWORD size);
  // What Open Video does with the chosen path, also for a drop, the command
  // line and each video of a batch; true when the source is ready to convert.
  bool OpenSource(std::string path);
  // The source's position in the running conversion (100 ns units), -1 when not known.
  int64_t ConversionPosition() const;

  // A drop, the command line's request and batches of videos.
  INT_PTR OnDropFiles(WPARAM, LPARAM);
  bool ConfirmDroppedBatch(const std::vector<std::string>& videos);
  INT_PTR OnStartRequest(WPARAM, LPARAM);
  void StartBatch(std::unique_ptr<BatchRun> batch);
  INT_PTR OnBatchNext(WPARAM, LPARAM);
  void StartBatchItem();
  // The output of a batch's video: named after it, never an existing file.
  bool ChooseBatchOutput(const std::string& video);
  void EndBatchItem(bool converted);
  void EndBatch();
  void EnableCommands(bool enable);
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
  SavedLoadLevel m_savedLoadLevel;
  VfwCodecState m_vfwCodecState;

  int64_t m_sourceDuration = 0;  // 100 ns units; 0 when not known
  int64_t m_startPosition = -1;  // the conversion's position when it began; -1 when not known
  bool m_pictureAlone = false;   // the conversion leaves the source's sound out
  bool m_finishing = false;      // FinishConversion is under way
  bool m_opening = false;        // a source is being opened
  TaskbarButton m_taskbar;
  StartRequest m_startRequest;
  std::unique_ptr<BatchRun> m_batch;
  bool m_batchItemRunning = false;  // a video of m_batch was begun and has not ended
  ConversionSettings m_settingsBeforeBatch;
  int m_notConverted = 0;  // videos of finished batches
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
    OnMessage(WM_DROPFILES, &MainDialog::OnDropFiles),
    OnMessage(kStartRequestMessage, &MainDialog::OnStartRequest),
    OnMessage(kBatchNextMessage, &MainDialog::OnBatchNext),
};
