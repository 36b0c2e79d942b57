// The end of a conversion as the user sees it, on the real main window in this
// process with the framework's own steps: Open Video, AVI without
// compressors, Convert, and then the time from the graph's completion (its
// event queued: the graph's event handle set) until the status line paints
// the finish line, and until the window is ready for the next Convert (the
// source rendered again). Writes "name value" lines (milliseconds) to a
// results file for scripts/bench.
//
//   finish_line_bench <source> <output> <runs> <results>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/MainDialog.h"
#include "fakes/ScriptedPrompts.h"
#include "i18n/LanguageManager.h"
#include "support/MainDialogProbe.h"
#include "support/ScratchProfile.h"
#include "support/ScriptedDialog.h"

namespace {

constexpr DWORD kConvertTimeoutMs = 600000;
// A question left unanswered this long is asked again (and Stop waits no longer).
constexpr UINT kProbeTimeoutMs = 100;

double Milliseconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

// When the status line first held the finish line with nothing of it left to
// paint: drawn into the window (Wine's static control draws its new text at
// once; a later WM_PAINT otherwise).
struct PaintWatch {
  static inline WNDPROC original = nullptr;
  static inline std::string output;
  static inline double paintedAt = 0;

  static bool ShowsFinishLine(HWND hwnd) {
    char text[1024] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return std::string(text).find(output) != std::string::npos;
  }
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const LRESULT result = CallWindowProcA(original, hwnd, msg, wp, lp);
    if ((msg == WM_SETTEXT || msg == WM_PAINT) && paintedAt == 0 && IsWindowVisible(hwnd) &&
        !GetUpdateRect(hwnd, nullptr, FALSE) && ShowsFinishLine(hwnd))
      paintedAt = Milliseconds();
    return result;
  }
};

// From another thread: when the graph's event handle becomes set (an event
// queued), and from the first time on, when the status line, asked for its
// text, first answers with the finish line: the window's thread is back in its
// message loop, where Wine also puts what it drew on the screen.
class EndWatch {
 public:
  EndWatch(HANDLE graphEvent, HWND status) : m_status(status) {
    DuplicateHandle(GetCurrentProcess(), graphEvent, GetCurrentProcess(), &m_event, SYNCHRONIZE,
                    FALSE, 0);
    m_thread = std::thread([this] { Watch(); });
  }
  ~EndWatch() {
    Stop();
    CloseHandle(m_event);
  }
  void Stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
  }
  // Once stopped: the latest time the handle was set before at; 0 when never.
  double LastSetBefore(double at) const {
    double last = 0;
    for (double set : m_sets)
      if (set <= at) last = set;
    return last;
  }
  double AnsweredAt() const { return m_answeredAt.load(); }

 private:
  void Watch() {
    bool wasSet = false;
    while (!m_stop && m_answeredAt == 0) {
      const bool set = WaitForSingleObject(m_event, m_sets.empty() ? 50 : 1) == WAIT_OBJECT_0;
      if (set && !wasSet) m_sets.push_back(Milliseconds());
      wasSet = set;
      if (set) Sleep(1);  // the window's thread resets it once it has read every event
      if (!m_sets.empty() && Answers()) m_answeredAt = Milliseconds();
    }
  }
  bool Answers() const {
    char text[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(m_status, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_NORMAL, kProbeTimeoutMs, &copied);
    return std::string(text).find(PaintWatch::output) != std::string::npos;
  }

  HWND m_status;
  HANDLE m_event = nullptr;
  std::atomic<bool> m_stop{false};
  std::vector<double> m_sets;  // read once the thread has ended
  std::atomic<double> m_answeredAt{0};
  std::thread m_thread;
};

struct EndFigures {
  double toFinishLine = 0;  // painted
  double toAnswer = 0;      // the window answers with it
  double toReady = 0;
};

// Convert on a window whose source is open; false when it never ended.
bool TimeEnd(MainDialog& dialog, GraphHandles& graph, HWND hwnd, EndFigures& figures) {
  HWND status = GetDlgItem(hwnd, IDC_STATIC_SUMMARY_LINE);
  PaintWatch::paintedAt = 0;
  PaintWatch::original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintWatch::Proc)));
  Click(hwnd, IDC_BUTTON_CONVERT);
  HANDLE graphEvent = nullptr;
  if (MainDialogProbe::Converting(dialog) != 1 || !graph.mediaEvent ||
      FAILED(graph.mediaEvent->GetEventHandle(reinterpret_cast<OAEVENT*>(&graphEvent))))
    return false;
  double readyAt = 0;
  {
    EndWatch watch(graphEvent, status);
    PumpUntil([&] { return MainDialogProbe::Converting(dialog) == 0 && graph.mediaControl; },
              kConvertTimeoutMs);
    readyAt = Milliseconds();
    PumpUntil([&] { return PaintWatch::paintedAt != 0 && watch.AnsweredAt() != 0; }, 1000);
    watch.Stop();
    const double completedAt = watch.LastSetBefore(PaintWatch::paintedAt);
    figures.toFinishLine = PaintWatch::paintedAt - completedAt;
    figures.toAnswer = watch.AnsweredAt() - completedAt;
    figures.toReady = readyAt - completedAt;
  }
  SetWindowLongPtrA(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaintWatch::original));
  return PaintWatch::paintedAt != 0 && figures.toFinishLine > 0 && figures.toAnswer > 0 &&
         ControlText(hwnd, IDC_STATIC_SUMMARY_LINE).rfind("Done.", 0) == 0;
}

bool OneRun(const AppProfile& profile, LanguageManager& languages, ScriptedPrompts& prompts,
            const std::string& source, const std::string& output, EndFigures& figures) {
  GraphHandles graph;
  MainDialog dialog(profile, languages, graph);
  bool timed = false;
  RunScripted(dialog, [&](HWND hwnd) {
    prompts.PlanFileAnswer(source);
    Click(hwnd, IDC_BUTTON_ADD_VIDEO);
    ConversionSettings& settings = MainDialogProbe::Settings(dialog);
    settings.outputFormat = OutputFormat::Avi;
    settings.outputPath = output;
    settings.useVideoCompressor = settings.useAudioCompressor = 0;
    DeleteFileA(output.c_str());
    timed = graph.mediaControl && TimeEnd(dialog, graph, hwnd, figures);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
  DeleteFileA(output.c_str());
  return timed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: finish_line_bench <source> <output> <runs> <results>\n");
    return 2;
  }
  if (FAILED(CoInitialize(nullptr))) return 1;
  int status = 0;
  {
    ScratchProfile profile("finish-line-bench");
    LanguageManager languages(profile);
    LanguageManager* previous = LanguageManager::Register(&languages);
    languages.Initialize(LanguageManager::ResolveLanguageRoot(), "english");
    ScriptedPrompts prompts;
    PaintWatch::output = argv[2];
    std::ofstream results(argv[4], std::ios::app);
    for (int run = 0, runs = std::atoi(argv[3]); run < runs && status == 0; ++run) {
      EndFigures figures;
      if (!OneRun(profile, languages, prompts, argv[1], argv[2], figures)) {
        std::fprintf(stderr, "finish_line_bench: run %d did not end with the finish line\n",
                     run + 1);
        status = 1;
        break;
      }
      results << "finish_line_ms " << figures.toFinishLine << '\n'
              << "finish_answer_ms " << figures.toAnswer << '\n'
              << "finish_ready_ms " << figures.toReady << '\n';
      std::printf("finish_line_ms %.1f\nfinish_answer_ms %.1f\nfinish_ready_ms %.1f\n",
                  figures.toFinishLine, figures.toAnswer, figures.toReady);
    }
    LanguageManager::Register(previous);
  }
  CoUninitialize();
  return status;
}
