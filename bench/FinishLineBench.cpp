// The end of a conversion as the user sees it, on the real main window in this
// process with the framework's own steps: Open Video, AVI without
// compressors, Convert, and then the time from the graph's completion (its
// event queued: the graph's event handle set) until the status line shows the
// finish line on the screen (read back from the screen; under Wine a window's
// drawing reaches the screen once a thread of its process waits for
// messages), until it is drawn into the window, and until the window is ready
// for the next Convert (the source rendered again). Writes
// "name value" lines (milliseconds) to a results file for scripts/bench.
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
#include "bench/BenchSupport.h"
#include "fakes/ScriptedPrompts.h"
#include "i18n/LanguageManager.h"
#include "support/MainDialogProbe.h"
#include "support/ScratchProfile.h"
#include "support/ScriptedDialog.h"

namespace {

constexpr DWORD kConvertTimeoutMs = 600000;
// Waited for once the window is ready: a line drawn but not yet on the screen
// gets there by then.
constexpr DWORD kScreenSettleMs = 200;

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

// The pixels of a window's part of the screen, as the X server shows them
// under Wine: what a user sees.
class ScreenStrip {
 public:
  explicit ScreenStrip(HWND window) {
    GetWindowRect(window, &m_rect);
    const int width = m_rect.right - m_rect.left, height = m_rect.bottom - m_rect.top;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB};
    m_screen = GetDC(nullptr);
    m_copy = CreateCompatibleDC(m_screen);
    m_bitmap = CreateDIBSection(m_copy, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits),
                                nullptr, 0);
    m_old = SelectObject(m_copy, m_bitmap);
    m_size = static_cast<size_t>(width) * static_cast<size_t>(height);
  }
  ~ScreenStrip() {
    SelectObject(m_copy, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_copy);
    ReleaseDC(nullptr, m_screen);
  }
  std::vector<uint32_t> Pixels() {
    BitBlt(m_copy, 0, 0, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, m_screen,
           m_rect.left, m_rect.top, SRCCOPY);
    GdiFlush();
    return m_bits ? std::vector<uint32_t>(m_bits, m_bits + m_size) : std::vector<uint32_t>();
  }

 private:
  RECT m_rect = {};
  HDC m_screen = nullptr, m_copy = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
  uint32_t* m_bits = nullptr;
  size_t m_size = 0;
};

// On threads of their own that never wait for messages (a thread of the
// process that does lets Wine put every window's drawing on the screen): the
// times the graph's event handle becomes set (an event queued), and from the
// first on, the times the status line looks other on the screen than just
// before.
class EndWatch {
 public:
  EndWatch(HANDLE graphEvent, HWND status) : m_status(status) {
    DuplicateHandle(GetCurrentProcess(), graphEvent, GetCurrentProcess(), &m_event, SYNCHRONIZE,
                    FALSE, 0);
    m_threads.emplace_back([this] { WatchEvents(); });
    m_threads.emplace_back([this] { WatchScreen(); });
  }
  ~EndWatch() {
    Stop();
    CloseHandle(m_event);
  }
  void Stop() {
    m_stop = true;
    for (std::thread& thread : m_threads)
      if (thread.joinable()) thread.join();
  }
  // Once stopped: the latest event before at, and the first change on the
  // screen after from; 0 when none.
  double LastEventBefore(double at) const {
    double last = 0;
    for (double set : m_events)
      if (set <= at) last = set;
    return last;
  }
  double FirstChangeAfter(double from) const {
    for (double change : m_changes)
      if (change >= from) return change;
    return 0;
  }

 private:
  // The window's thread resets the handle once it has read every event.
  void WatchEvents() {
    while (!m_stop) {
      if (WaitForSingleObject(m_event, 50) != WAIT_OBJECT_0) continue;
      m_events.push_back(Milliseconds());
      m_started = true;
      while (!m_stop && WaitForSingleObject(m_event, 0) == WAIT_OBJECT_0) Sleep(0);
    }
  }
  void WatchScreen() {
    ScreenStrip strip(m_status);
    std::vector<uint32_t> last;
    while (!m_stop) {
      Sleep(1);
      if (!m_started) continue;
      std::vector<uint32_t> now = strip.Pixels();
      if (!last.empty() && now != last) m_changes.push_back(Milliseconds());
      last = std::move(now);
    }
  }
  HWND m_status;
  HANDLE m_event = nullptr;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_started{false};
  std::vector<double> m_events;   // read once the threads have ended
  std::vector<double> m_changes;  // read once the threads have ended
  std::vector<std::thread> m_threads;
};

struct EndFigures {
  double toFinishLine = 0;  // on the screen
  double toPainted = 0;     // drawn into the window
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
    PumpUntil([] { return PaintWatch::paintedAt != 0; }, kScreenSettleMs);
    Sleep(kScreenSettleMs);
    watch.Stop();
    const double completedAt = watch.LastEventBefore(PaintWatch::paintedAt);
    figures.toFinishLine = watch.FirstChangeAfter(completedAt) - completedAt;
    figures.toPainted = PaintWatch::paintedAt - completedAt;
    figures.toReady = readyAt - completedAt;
  }
  SetWindowLongPtrA(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaintWatch::original));
  return PaintWatch::paintedAt != 0 && figures.toFinishLine > 0 &&
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
    Results results(argv[4]);
    for (int run = 0, runs = std::atoi(argv[3]); run < runs && status == 0; ++run) {
      EndFigures figures;
      if (!OneRun(profile, languages, prompts, argv[1], argv[2], figures)) {
        std::fprintf(stderr, "finish_line_bench: run %d did not end with the finish line\n",
                     run + 1);
        status = 1;
        break;
      }
      results.Put("finish_line_ms", figures.toFinishLine);
      results.Put("finish_painted_ms", figures.toPainted);
      results.Put("finish_ready_ms", figures.toReady);
    }
    LanguageManager::Register(previous);
  }
  CoUninitialize();
  return status;
}
