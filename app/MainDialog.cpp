#include "app/MainDialog.h"

#include <cderr.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <utility>

#include "app/AboutDialog.h"
#include "app/BatchRun.h"
#include "app/FilterPropertiesDialog.h"
#include "app/HelpCommand.h"
#include "app/ProgressLine.h"
#include "app/PromptRecorder.h"
#include "app/SourceLine.h"
#include "engine/RegistryAdjustments.h"
#include "engine/SourceProbing.h"
#include "i18n/LanguageMenu.h"
#include "i18n/Localization.h"
#include "i18n/Translation.h"
#include "platform/Path.h"
#include "platform/Prompts.h"
#include "platform/Str.h"
#include "settings/BatchOutputPath.h"
#include "settings/OutputFormat.h"
#include "settings/OutputOptionsDialog.h"
#include "settings/SettingsPersistence.h"

namespace {

constexpr char kOptionSection[] = "Option";
constexpr char kCurrentLanguage[] = "CurrentLanguage";
constexpr char kLastPhotoFolder[] = "LastPhotoFolder";
// Room beyond the longest source path (259 characters), so that a longer
// choice arrives whole and is refused instead of being cut.
constexpr DWORD kChosenPathBufferSize = 1024;
constexpr char kHomepage[] = "http://www.brimvale-studio.example/";
constexpr UINT kProgressPeriodMs = 1000;
// An output format that the options do not offer: no multiplexer, and the
// filter properties before the graph runs.
constexpr int kInspectFormat = 4;

// How an event of the running graph ends the conversion: S_OK when it
// completed, a failure code when it completed with one or stopped on a
// failure (EC_COMPLETE never follows those), S_FALSE when it ends nothing.
HRESULT ConversionEnd(long code, LONG_PTR param1) {
  // The first parameter is the completion's status or the failure's code
  // (none for a user abort).
  const HRESULT status = static_cast<HRESULT>(param1);
  switch (code) {
    case EC_COMPLETE:
      return FAILED(status) ? status : S_OK;
    case EC_ERRORABORT:
    case EC_ERRORABORTEX:
    case EC_STREAM_ERROR_STOPPED:
    case EC_USERABORT:
      return FAILED(status) ? status : E_ABORT;
    default:
      return S_FALSE;
  }
}

// The dropped paths, in the order given; the drop is finished.
std::vector<std::string> TakeDroppedFiles(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::string path(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
    path.resize(DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size())));
    if (!path.empty()) paths.push_back(std::move(path));
  }
  DragFinish(drop);
  return paths;
}

// A part of a batch's report: the heading and its lines, if any.
std::string ReportSection(UINT heading, const std::string& lines) {
  return lines.empty() ? lines : GetLocalizedString(heading) + "\n\n" + lines;
}

// Names listed in the question about a drop's other videos.
constexpr size_t kListedDrops = 10;

}  // namespace

MainDialog::MainDialog(const AppProfile& profile, LanguageManager& languages, GraphHandles& graph,
                       ConversionSteps& steps)
    : ModalDialog(IDD_MAIN_DIALOG),
      m_profile(profile),
      m_languages(languages),
      m_graph(graph),
      m_steps(steps) {
  m_appIcon =
      static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                    IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

MainDialog::~MainDialog() = default;

bool MainDialog::Route(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  return DispatchRoutes(*this, kRoutes, msg, wp, lp, result);
}

BOOL MainDialog::OnInitDialog() {
  AddAboutToSystemMenu();
  SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_appIcon));
  SendMessageA(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_appIcon));
  ReadWindowsVersion();
  // The graph slots are empty: nothing has been opened yet.

  if (FAILED(CoInitialize(nullptr))) {
    ErrorBox(nullptr, "Could not initialize COM library.");
    return FALSE;
  }
  m_comInitialized = true;

  LoadOutputFormat(m_settings, m_profile);
  ShowItem(IDC_BUTTON_BUILD_FILTERS, false);
  DisableEncoderFeedback();
  LoadCompressorChoices(Hwnd(), m_settings, m_profile, m_graph.Compressors());
  LoadOutputPath(m_settings, MyVideoDefault(settings_keys::kSettings, settings_keys::kOutputName,
                                            kDefaultOutputPath, CSIDL_MYVIDEO));
  LoadOutputSize(m_settings, m_profile);
  ShowStartupSummary();
  SetItemText(IDC_STATIC_SOURCE_LINE, "00:00:00");
  LoadBitratesAndProfile(m_settings, m_profile);
  ForceSubtitleLoadLevel(m_savedLoadLevel);
  TranslateDialog(Hwnd(), IDD_MAIN_DIALOG);
  DragAcceptFiles(Hwnd(), TRUE);
  m_taskbar.Attach(Hwnd());
  if (m_startRequest.action != StartRequest::Action::None)
    PostMessageA(Hwnd(), kStartRequestMessage, 0, 0);
  return TRUE;
}

void MainDialog::AddAboutToSystemMenu() {
  HMENU systemMenu = GetSystemMenu(Hwnd(), FALSE);
  // The item's text is the program's own, whatever the language.
  std::string about = BuiltInString(IDS_ABOUTBOX);
  if (!systemMenu || about.empty()) return;
  AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
}

void MainDialog::ReadWindowsVersion() {
  // Left zeroed when the query fails: the My Video lookup then is not tried.
  m_osVersion = {};
  m_osVersion.dwOSVersionInfoSize = sizeof m_osVersion;
  if (!GetVersionExA(&m_osVersion)) {
    m_osVersion = {};
    ErrorBox(Hwnd(), "Can get Windows Version");
  }
}

std::string MainDialog::MyVideoDefault(const char* section, const char* name,
                                       const char* builtInDefault, int folder) {
  if (m_osVersion.dwMajorVersion < 6) return m_profile.GetString(section, name, builtInDefault);

  using GetFolderPathA = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  HMODULE shell = LoadLibraryA("shell32.dll");
  auto getFolderPath = shell ? reinterpret_cast<GetFolderPathA>(reinterpret_cast<void*>(
                                   GetProcAddress(shell, "SHGetFolderPathA")))
                             : nullptr;
  if (!getFolderPath) {
    if (shell) FreeLibrary(shell);
    ErrorBox(Hwnd(), "Can not get SHGetFolderPathA!");
    return m_profile.GetString(section, name, builtInDefault);
  }

  std::string defaultPath = builtInDefault;
  char folderPath[MAX_PATH] = "";
  if (getFolderPath(Hwnd(), folder, nullptr, 0, folderPath) != S_OK) {
    ErrorBox(Hwnd(), "Can not get My Video directory!");
  } else {
    const char* fileName = path::LastBackslash(builtInDefault);
    defaultPath = std::string(folderPath) + (fileName ? fileName : "");
  }
  std::string value = m_profile.GetString(section, name, defaultPath.c_str());
  FreeLibrary(shell);
  return value;
}

void MainDialog::ShowStartupSummary() {
  // The stored output size plays no part before a source is opened.
  std::string line =
      str::Printf("%s %s     %s %s", GetLocalizedString(IDS_MESSAGE_OUTPUT_FILE).c_str(),
                  m_settings.outputPath.c_str(), GetLocalizedString(IDS_MESSAGE_RESOLUTION).c_str(),
                  GetLocalizedString(IDS_MESSAGE_ORIGINAL_SIZE).c_str());
  SetItemText(IDC_STATIC_SUMMARY_LINE, line.c_str());
}

void MainDialog::PreviewMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND && SwitchLanguage(Hwnd(), LOWORD(wp), m_languages)) {
    RelabelWhileConverting();
    AskForRestart(Hwnd());
  }
  if (msg == WM_RBUTTONUP) {
    POINT at = {static_cast<LONG>(LOWORD(lp)), static_cast<LONG>(HIWORD(lp))};
    ShowLanguagePopupMenu(Hwnd(), at, m_languages);
  }
}

void MainDialog::OnChooseFont() {
  ChooseInterfaceFont(Hwnd(), m_languages);
  RelabelWhileConverting();
}

// Translating the window gives the button its template's key, Convert (or
// keeps its text when the language has none): it reads Stop while converting.
void MainDialog::RelabelWhileConverting() {
  if (m_converting == 1) ShowConvertButtonText();
}

void MainDialog::ShowConvertButtonText() {
  const UINT text = m_converting == 1 ? IDS_BUTTON_STOP : IDS_BUTTON_CONVERT;
  SetItemText(IDC_BUTTON_CONVERT, GetLocalizedDialogText(text).c_str());
}

void MainDialog::OnOptions() {
  OutputOptionsDialog options(m_settings, m_source, m_sourceReady, m_profile, m_graph.Compressors(),
                              m_vfwCodecState);
  if (options.Run(Hwnd()) != IDOK) return;
  m_settings = options.Settings();
  ShowOptionsSummary();
}

void MainDialog::ShowOptionsSummary() {
  if (m_source.width == 0 && m_source.height == 0) {
    ShowStartupSummary();
    return;
  }
  std::string line =
      str::Printf("%s %s     %s %d*%d", GetLocalizedString(IDS_MESSAGE_OUTPUT_FILE).c_str(),
                  m_settings.outputPath.c_str(), GetLocalizedString(IDS_MESSAGE_RESOLUTION).c_str(),
                  m_settings.outputWidth, m_settings.outputHeight);
  SetItemText(IDC_STATIC_SUMMARY_LINE, line.c_str());
}

void MainDialog::OnExit() { SendMessageA(Hwnd(), WM_CLOSE, 0, 0); }

// Escape, and Enter when no push button has the focus, go through the close
// handling too, so that they never abandon a conversion or skip what closing
// puts back.
void MainDialog::OnCancel() { CloseWindow(); }

INT_PTR MainDialog::OnClose(WPARAM, LPARAM) {
  CloseWindow();
  return TRUE;
}

void MainDialog::CloseWindow() {
  if (m_converting == 1) {
    Prompts::Current().ShowMessage(Hwnd(), GetLocalizedString(IDS_MESSAGE_STOP_CONVERT).c_str(),
                                   GetLocalizedString(IDS_MESSAGE_WARNING).c_str(), MB_OK);
    return;
  }
  // The graph's control and event interfaces go with it, and the task-bar
  // list: released after COM has ended, they would call into a library that
  // may be gone.
  ReleaseGraph();
  m_taskbar.Detach();
  // Each slot is emptied before its instance is released.
  Microsoft::WRL::ComPtr<IBaseFilter> video = std::move(m_graph.videoCompressor);
  video.Reset();
  Microsoft::WRL::ComPtr<IBaseFilter> audio = std::move(m_graph.audioCompressor);
  audio.Reset();
  m_profile.WriteString(kOptionSection, kCurrentLanguage, m_languages.CurrentLanguage().c_str());
  RestoreSubtitleLoadLevel(m_savedLoadLevel);
  if (m_comInitialized) CoUninitialize();
  m_comInitialized = false;
  End(IDCANCEL);
}

void MainDialog::OnHelp() {
  // The help file lies beside the executable.
  const std::string commandLine = HelpCommandLine(path::ModuleFolder() + "\\");
  Prompts::Current().StartProgram(commandLine.c_str(), SW_SHOW);
}

void MainDialog::OnHomepage() {
  if (Prompts::Current().OpenWithShell(nullptr, "open", kHomepage, nullptr, nullptr,
                                       SW_SHOWNORMAL) > 32) {
    return;
  }
  const std::string text = std::string("The Program does not launch your web browser to access ") +
                           kHomepage +
                           " ,\nPlease launch your web browser and input the URL manually.";
  Prompts::Current().ShowMessage(Hwnd(), text.c_str(), "unknown errors", MB_OK);
}

// Owned by the main window, as the options are, so that the window waits for it.
void MainDialog::OnAbout() {
  AboutDialog about;
  about.Run(Hwnd());
}

INT_PTR MainDialog::OnSysCommand(WPARAM wp, LPARAM) {
  if ((wp & 0xFFF0) != IDM_ABOUTBOX) return FALSE;
  OnAbout();
  return TRUE;
}

INT_PTR MainDialog::OnPaint(WPARAM, LPARAM) {
  if (!IsIconic(Hwnd())) return FALSE;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Hwnd(), &paint);
  SendMessageA(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client = {};
  GetClientRect(Hwnd(), &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, m_appIcon);
  EndPaint(Hwnd(), &paint);
  return TRUE;
}

INT_PTR MainDialog::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<INT_PTR>(m_appIcon); }

void MainDialog::OnOpenVideo() {
  char chosen[kChosenPathBufferSize] = "";
  if (AskVideoPath(chosen, kChosenPathBufferSize)) OpenSource(chosen);
}

bool MainDialog::OpenSource(std::string path) {
  if (path.size() >= path::kMaxPath) {
    ErrorBox(Hwnd(), kPathTooLong);
    return false;
  }
  // Not the decoders' fault: the name as the program got it names no file.
  if (path::HoldsUnusableCharacters(path.c_str())) {
    ShowError(IDS_MESSAGE_UNUSABLE_NAME);
    return false;
  }
  const bool wasOpening = std::exchange(m_opening, true);
  ReleaseSourceGraph();
  m_sourcePath = path;
  m_sourceDuration = 0;

  int64_t duration = 0;  // 100 ns units
  if (!ProbeSource(Hwnd(), path.c_str(), duration, m_source, m_settings)) {
    std::string text =
        GetLocalizedString(IDS_MESSAGE_NO_DURATION) + GetLocalizedString(IDS_MESSAGE_NOT_OPEN_FILE);
    std::string caption = GetLocalizedString(IDS_MESSAGE_ERROR) + " IDS_MESSAGE_NO_DURATION";
    Prompts::Current().ShowMessage(Hwnd(), text.c_str(), caption.c_str(), MB_OK);
    m_sourcePath.clear();
    m_opening = wasOpening;
    return false;
  }
  m_sourceDuration = duration;
  m_profile.WriteString(kOptionSection, kLastPhotoFolder, path::FolderOf(path.c_str()).c_str());
  SetItemText(IDC_STATIC_SOURCE_LINE, SourceLineText(path.c_str(), duration).c_str());
  const bool opened = m_steps.Open(Hwnd(), path.c_str(), m_graph) >= 0;
  if (opened) m_sourceReady = 1;
  m_opening = wasOpening;
  return opened;
}

bool MainDialog::AskVideoPath(char* chosen, DWORD size) {
  static constexpr char kFilter[] = "Video Files (*.*)\0*.*\0";
  std::string folder = m_profile.GetString(kOptionSection, kLastPhotoFolder, "");
  // A stored value that no folder can have is not handed to the dialog.
  if (folder.size() >= path::kMaxPath) folder.clear();
  const std::string title = GetLocalizedString(IDS_MESSAGE_OPEN_FILE);
  OPENFILENAMEA request = {};
  // The layout without the fields that Windows 2000 added.
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  request.hwndOwner = Hwnd();
  request.lpstrFilter = kFilter;
  request.nFilterIndex = 1;
  request.lpstrFile = chosen;
  request.nMaxFile = size;
  request.lpstrInitialDir = folder.c_str();
  request.lpstrTitle = title.c_str();
  // The read-only box is shown and ticked; its answer is not used.
  request.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_READONLY;
  if (Prompts::Current().AskOpenFileName(request)) return true;
  // A name too long even for this buffer is refused like any overlong one.
  if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) ErrorBox(Hwnd(), kPathTooLong);
  return false;
}

void MainDialog::ReleaseSourceGraph() {
  if (m_sourcePath.empty() || !m_graph.graph) return;
  ReleaseGraph();
}

void MainDialog::ReleaseGraph() {
  m_graph.progress.Reset();
  m_graph.mediaEvent.Reset();
  m_graph.mediaControl.Reset();
  m_graph.graph.Reset();
  m_graph.removedRenderers.clear();
  m_graph.soundLeftOut = false;
}

void MainDialog::ConvertOrStop() {
  // A click that a box of the teardown let through.
  if (m_finishing) return;
  if (m_converting == 1) {
    FinishConversion(Outcome::Stopped);
    return;
  }
  if (!ReadyToConvert()) return;
  // A graph that the build left half-made has no multiplexer and no events:
  // run, it would never end.
  const HRESULT built = m_steps.Build(Hwnd(), m_graph, m_settings, m_errorText);
  if (FAILED(built) || built == S_FALSE) {
    FinishConversion(Outcome::Failed);
    return;
  }
  m_pictureAlone = m_graph.soundLeftOut;
  if (m_pictureAlone && !AcceptPictureAlone()) {
    FinishConversion(Outcome::Declined);
    return;
  }
  if (static_cast<int>(m_settings.outputFormat) == kInspectFormat) ShowFilterProperties();
  HRESULT hr = m_graph.mediaControl ? m_graph.mediaControl->Run() : E_POINTER;
  if (FAILED(hr)) {
    AppMessageBox(Hwnd(), "can not pControl->Run()!!!");
    m_errorText = FrameworkErrorText(hr);
    AppMessageBox(Hwnd(), m_errorText.c_str());
    FinishConversion(Outcome::Failed);
    return;
  }
  StartProgress();
}

bool MainDialog::ReadyToConvert() {
  if (!m_graph.mediaControl) {
    AppMessageBox(Hwnd(), "Please open an media file fisrt!");
    return false;
  }
  // Replacing the output would delete the video being converted.
  if (path::NamesSameFile(m_settings.outputPath.c_str(), m_sourcePath.c_str())) {
    ShowError(IDS_MESSAGE_OUTPUT_IS_SOURCE);
    return false;
  }
  return ConfirmReplacingOutput();
}

bool MainDialog::AcceptPictureAlone() {
  // In a batch the question is noted, and its answer (No) not waited for.
  const bool yes =
      Prompts::Current().ShowMessage(Hwnd(), GetLocalizedString(IDS_MESSAGE_NO_SOUND).c_str(),
                                     GetLocalizedString(IDS_MESSAGE_WARNING).c_str(),
                                     MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
  return yes || m_batchItemRunning;
}

bool MainDialog::ConfirmReplacingOutput() {
  const std::string& output = m_settings.outputPath;
  if (!path::FileExists(output.c_str())) return true;
  // Path and text are joined, never formatted: either may hold a percent sign.
  const std::string question = output + " " + GetLocalizedString(IDS_MESSAGE_FILE_EXIST);
  if (Prompts::Current().ShowMessage(Hwnd(), question.c_str(), "Warning",
                                     MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
    return false;
  }
  DeleteFileA(output.c_str());  // a failed delete is not reported
  return true;
}

void MainDialog::ShowError(UINT textId) {
  Prompts::Current().ShowMessage(Hwnd(), GetLocalizedString(textId).c_str(),
                                 GetLocalizedString(IDS_MESSAGE_ERROR).c_str(),
                                 MB_OK | MB_ICONEXCLAMATION);
}

void MainDialog::ShowFilterProperties() {
  FilterPropertiesDialog properties(m_graph.graph.Get());
  properties.Run(Hwnd());
}

void MainDialog::StartProgress() {
  m_converting = 1;
  ShowConvertButtonText();
  SetTimer(Hwnd(), kProgressTimer, kProgressPeriodMs, nullptr);
  EnableWindow(Item(IDC_BUTTON_ADD_VIDEO), FALSE);
  EnableWindow(Item(IDC_BUTTON_OUTPUT_SETTINGS), FALSE);
  m_taskbar.ShowProgress(0, m_sourceDuration);
  m_startPosition = ConversionPosition();
}

void MainDialog::OnProgressTimer() {
  // A tick that was already queued when the conversion ended.
  if (m_converting != 1) return;
  // The conversion has run a while: the renderers it replaced can go now.
  m_graph.removedRenderers.clear();
  const int seconds = ++m_elapsedSeconds;
  const int64_t position = ConversionPosition();
  SetItemText(IDC_STATIC_SUMMARY_LINE, ProgressLine(seconds, position, m_sourceDuration).c_str());
  m_taskbar.ShowProgress(position, m_sourceDuration);
}

int64_t MainDialog::ConversionPosition() const {
  LONGLONG position = 0;  // 100 ns units
  if (!m_graph.progress || FAILED(m_graph.progress->GetCurrentPosition(&position))) return -1;
  return position;
}

INT_PTR MainDialog::OnGraphEvent(WPARAM, LPARAM) {
  // A batch's video ends unattended: its messages are noted, not shown.
  PromptRecorder quiet(m_batchItemRunning ? m_batch->Notes() : nullptr);
  HRESULT failure = S_OK;
  long code = 0;
  LONG_PTR param1 = 0;
  LONG_PTR param2 = 0;
  // FinishConversion empties the event slot, which ends the loop.
  while (m_graph.mediaEvent && m_graph.mediaEvent->GetEvent(&code, &param1, &param2, 0) == S_OK) {
    m_graph.mediaEvent->FreeEventParams(code, param1, param2);
    // Events of a graph that does not run yet (the filter properties may be
    // open) end nothing.
    if (m_converting != 1) continue;
    const HRESULT end = ConversionEnd(code, param1);
    if (end == S_FALSE) continue;
    if (FAILED(end)) failure = end;
    FinishConversion(FAILED(end) ? Outcome::Failed : Outcome::Done);
  }
  if (FAILED(failure)) {
    m_errorText = FrameworkErrorText(failure);
    AppMessageBox(Hwnd(), m_errorText.c_str());
  }
  return TRUE;
}

void MainDialog::FinishConversion(Outcome outcome) {
  // A box of the teardown nests a message loop: a second Stop, or a graph
  // event queued before the notifications ended, must not tear down again.
  if (m_finishing) return;
  m_finishing = true;
  // How far the output reaches, read while the graph is there: a decoder may
  // have given up before the end.
  const std::string endsEarly =
      outcome == Outcome::Done
          ? ShortOutputNote(ConversionPosition(), m_startPosition, m_sourceDuration, FrameTime())
          : "";
  KillTimer(Hwnd(), kProgressTimer);
  if (m_graph.mediaControl) m_graph.mediaControl->Stop();
  if (m_graph.mediaEvent) m_graph.mediaEvent->SetNotifyWindow(0, 0, 0);
  if (m_graph.graph) m_steps.TearDown(Hwnd(), m_graph, m_sourcePath.c_str(), m_settings);
  ReleaseGraph();
  RestoreWindow(outcome);
  // Between the videos of a batch the next one is opened instead; its end
  // opens what the window shows next.
  if (!m_batchItemRunning) m_steps.Open(Hwnd(), m_sourcePath.c_str(), m_graph);
  m_taskbar.Finish();
  if (!endsEarly.empty())
    Prompts::Current().ShowMessage(Hwnd(), endsEarly.c_str(), AppTitle(), MB_OK | MB_ICONWARNING);
  m_finishing = false;
  if (!m_batchItemRunning) return;
  // Stopping one video of a batch stops the batch. An output that seems to
  // end early is noted; whether it is whole is for the other measures.
  if (outcome == Outcome::Stopped) m_batch->Cancel();
  EndBatchItem(outcome == Outcome::Done && !m_pictureAlone);
}

// The window as before Convert, with the finish line painted: rendering the
// source again keeps the window busy a while.
void MainDialog::RestoreWindow(Outcome outcome) {
  m_converting = 0;
  ShowConvertButtonText();
  m_elapsedSeconds = 0;
  if (outcome != Outcome::Declined) ShowFinishLine(outcome);
  EnableWindow(Item(IDC_BUTTON_ADD_VIDEO), TRUE);
  EnableWindow(Item(IDC_BUTTON_OUTPUT_SETTINGS), TRUE);
  RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int64_t MainDialog::FrameTime() const {
  constexpr double kSecond = 10000000;  // 100 ns units
  return m_source.frameRate > 0 ? static_cast<int64_t>(kSecond / m_source.frameRate) : 0;
}

void MainDialog::ShowFinishLine(Outcome outcome) {
  // Stopped ends with "Done" too: what was written is a playable file.
  const UINT first =
      outcome == Outcome::Failed ? IDS_MESSAGE_CONVERSION_FAILED : IDS_MESSAGE_CONVERSION_DONE;
  const std::string line =
      str::Printf("%s. %s %s     %s %d*%d", GetLocalizedString(first).c_str(),
                  GetLocalizedString(IDS_MESSAGE_OUTPUT_FILE).c_str(),
                  m_settings.outputPath.c_str(), GetLocalizedString(IDS_MESSAGE_RESOLUTION).c_str(),
                  m_settings.outputWidth, m_settings.outputHeight);
  SetItemText(IDC_STATIC_SUMMARY_LINE, line.c_str());
}

void MainDialog::OnBuildFilters() {
  if (m_graph.mediaControl) m_graph.mediaControl->Stop();
  HRESULT hr =
      m_graph.graph ? m_steps.BuildFilters(Hwnd(), m_graph, m_settings, m_errorText) : E_POINTER;
  if (FAILED(hr)) {
    ErrorBox(Hwnd(),
             "Cannot open the file. You need to install appropriate decoders.\nOr the file is "
             "corrupt.");
  }
}

INT_PTR MainDialog::OnDropFiles(WPARAM wp, LPARAM) {
  const std::vector<std::string> videos = TakeDroppedFiles(reinterpret_cast<HDROP>(wp));
  // Refused when Open Video could not be pressed: while converting or a batch
  // runs, while a dialog of the window is up, or while a video opens.
  if (videos.empty() || m_opening || !IsWindowEnabled(Hwnd()) ||
      !IsWindowEnabled(Item(IDC_BUTTON_ADD_VIDEO))) {
    return TRUE;
  }
  const bool opened = OpenSource(videos.front());
  if (videos.size() < 2 || !ConfirmDroppedBatch(videos)) return TRUE;
  BatchRun::Options options;
  if (opened) options.reopen = videos.front();
  StartBatch(std::make_unique<BatchRun>(std::vector<std::string>(videos.begin() + 1, videos.end()),
                                        std::move(options)));
  return TRUE;
}

bool MainDialog::ConfirmDroppedBatch(const std::vector<std::string>& videos) {
  std::string question = GetLocalizedString(IDS_MESSAGE_CONVERT_DROPPED) + "\n";
  for (size_t i = 1; i < videos.size() && i <= kListedDrops; ++i)
    question += "\n" + path::FileNameOf(videos[i].c_str());
  if (videos.size() > kListedDrops + 1) question += "\n...";
  return Prompts::Current().ShowMessage(Hwnd(), question.c_str(), AppTitle(),
                                        MB_YESNO | MB_ICONQUESTION) == IDYES;
}

INT_PTR MainDialog::OnStartRequest(WPARAM, LPARAM) {
  StartRequest request = std::exchange(m_startRequest, StartRequest{});
  if (request.action == StartRequest::Action::Open) OpenSource(request.videos.front());
  if (request.action != StartRequest::Action::Convert) return TRUE;
  BatchRun::Options options;
  options.format = request.format;
  options.outputFolder = request.outputFolder;
  options.exitWhenDone = request.exitWhenDone;
  StartBatch(std::make_unique<BatchRun>(std::move(request.videos), std::move(options)));
  return TRUE;
}

// The batch's outputs and format are its own: the window's come back at its end.
void MainDialog::StartBatch(std::unique_ptr<BatchRun> batch) {
  m_batch = std::move(batch);
  m_settingsBeforeBatch = m_settings;
  EnableCommands(false);
  PostMessageA(Hwnd(), kBatchNextMessage, 0, 0);
}

INT_PTR MainDialog::OnBatchNext(WPARAM, LPARAM) {
  if (!m_batch || m_batchItemRunning) return TRUE;
  if (m_batch->Begin()) {
    StartBatchItem();
  } else {
    EndBatch();
  }
  return TRUE;
}

void MainDialog::StartBatchItem() {
  // Nobody may be there to answer: the video's messages are noted, not shown,
  // and no question stops the batch.
  PromptRecorder quiet(m_batch->Notes());
  const std::string video = m_batch->Current();
  m_batchItemRunning = true;
  if (!OpenSource(video) || !ChooseBatchOutput(video)) {
    EndBatchItem(false);
    return;
  }
  EnableWindow(Item(IDC_BUTTON_CONVERT), TRUE);
  ConvertOrStop();
  // Refused before the build: FinishConversion ends the video otherwise.
  if (m_converting != 1 && m_batchItemRunning) EndBatchItem(false);
}

bool MainDialog::ChooseBatchOutput(const std::string& video) {
  const BatchRun::Options& options = m_batch->Settings();
  if (options.format) m_settings.outputFormat = *options.format;
  return BatchOutputPath(m_settings.outputFormat, video.c_str(), options.outputFolder,
                         m_settings.outputPath);
}

void MainDialog::EndBatchItem(bool converted) {
  m_batchItemRunning = false;
  m_batch->End(converted);
  EnableCommands(false);
  PostMessageA(Hwnd(), kBatchNextMessage, 0, 0);
}

void MainDialog::EndBatch() {
  const std::unique_ptr<BatchRun> batch = std::move(m_batch);
  m_notConverted += batch->NotConverted();
  m_settings.outputPath = m_settingsBeforeBatch.outputPath;
  m_settings.outputFormat = m_settingsBeforeBatch.outputFormat;
  EnableCommands(true);
  if (batch->Settings().exitWhenDone) {
    PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
    return;
  }
  if (!batch->Settings().reopen.empty()) {
    OpenSource(batch->Settings().reopen);
  } else if (!m_sourcePath.empty() && !m_graph.graph) {
    m_steps.Open(Hwnd(), m_sourcePath.c_str(), m_graph);  // the last video, ready again
  }
  std::string report = ReportSection(IDS_MESSAGE_NOT_CONVERTED, batch->Report());
  const std::string remarks = ReportSection(IDS_MESSAGE_CONVERTED_WITH_REMARKS, batch->Remarks());
  if (!report.empty() && !remarks.empty()) report += "\n";
  report += remarks;
  if (report.empty()) return;
  Prompts::Current().ShowMessage(Hwnd(), report.c_str(), AppTitle(), MB_OK | MB_ICONEXCLAMATION);
}

void MainDialog::EnableCommands(bool enable) {
  for (int id : {IDC_BUTTON_ADD_VIDEO, IDC_BUTTON_OUTPUT_SETTINGS, IDC_BUTTON_CONVERT})
    EnableWindow(Item(id), enable ? TRUE : FALSE);
}

int MainDialog::ExitCode() const {
  // A conversion never begun (the window could not start COM) counts too.
  const bool neverBegun = m_startRequest.action == StartRequest::Action::Convert;
  return m_notConverted + (m_batch ? m_batch->NotConverted() : 0) +
         (neverBegun ? static_cast<int>(m_startRequest.videos.size()) : 0);
}
