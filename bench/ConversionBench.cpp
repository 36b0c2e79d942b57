// Measures the real program from outside, driven as the end-to-end tests drive
// it, and writes "name value" lines to a results file for scripts/bench:
//
//   conversion_bench convert <source> <output> <runs> <results>
//     per run a fresh program: Options -> AVI without compressors, Open Video,
//     Convert. Times from the Convert click to the button reading "Stop" and
//     to the finish line, and the process's peak working set three times: idle
//     at its main window, once the video is open, after the conversion.
//   conversion_bench startup <program> <runs> <name> <results>
//     a first, unmeasured start, then the time from CreateProcess to the
//     visible main window of each further start.
//
// Nothing here judges a figure: the script prints them.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "e2e/ConversionSession.h"
#include "platform/AppProfile.h"
#include "res/resource.h"

namespace {

constexpr char kMainCaption[] = "RoroVozaririd";
constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kConvertTimeoutMs = 600000;
// The source line changes while Open Video still renders the source for the
// conversion (the window answers between the framework's own messages): the
// click waits until that is surely done.
constexpr DWORD kSettleMs = 1500;
// The main window shows before the program has finished starting.
constexpr DWORD kIdleSettleMs = 500;

// Asks until done() holds, pollMs apart; false when timeoutMs passed first.
template <class Condition>
bool PollUntil(Condition done, DWORD timeoutMs, DWORD pollMs) {
  const double end = Seconds() + timeoutMs / 1000.0;
  while (!done()) {
    if (Seconds() >= end) return false;
    Sleep(pollMs);
  }
  return true;
}

double PeakWorkingSetBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
  return static_cast<double>(counters.PeakWorkingSetSize);
}

struct ConversionFigures {
  double toStopSeconds = 0;
  double toFinishSeconds = 0;
  double peakBytes = 0;
  std::string finishLine;
};

// Convert clicked on a session whose source is open; false when it never ran.
bool TimeConversion(ConversionSession& session, ConversionFigures& figures) {
  HWND main = session.Main();
  SetDlgItemTextA(main, IDC_STATIC_SUMMARY_LINE, "");
  const double clicked = Seconds();
  ProgramDriver::Click(main, IDC_BUTTON_CONVERT);
  // The window answers only between its messages: "Stop" shows once Convert's
  // handler has returned, with the graph running.
  if (!PollUntil([&] { return ProgramDriver::Text(main, IDC_BUTTON_CONVERT) == "Stop"; },
                 kStartTimeoutMs, 1))
    return false;
  figures.toStopSeconds = Seconds() - clicked;
  PollUntil([&] { return ProgramDriver::Text(main, IDC_BUTTON_CONVERT) != "Stop"; },
            kConvertTimeoutMs, 5);
  figures.toFinishSeconds = Seconds() - clicked;
  figures.finishLine = ProgramDriver::Text(main, IDC_STATIC_SUMMARY_LINE);
  figures.peakBytes = PeakWorkingSetBytes(session.Driver().Process());
  return figures.finishLine.rfind("Done.", 0) == 0;
}

struct PreparedPeaks {
  double idleBytes = 0;
  double openBytes = 0;
};

// A fresh program with AVI chosen and the source open, settled, and its peak
// working set idle and once the source is open.
bool Prepare(ConversionSession& session, const std::string& source, const std::string& output,
             PreparedPeaks& peaks) {
  if (!session.Start()) return false;
  Sleep(kIdleSettleMs);
  peaks.idleBytes = PeakWorkingSetBytes(session.Driver().Process());
  if (!session.ChooseOutput({0, output}) || session.OpenVideo(source).empty()) return false;
  Sleep(kSettleMs);
  peaks.openBytes = PeakWorkingSetBytes(session.Driver().Process());
  return true;
}

int BenchConversion(const std::string& source, const std::string& output, int runs,
                    Results& results) {
  AppProfile program("BrimvaleStudio", "RoroVozaririd");
  for (int run = 0; run < runs; ++run) {
    program.DeleteApplicationKey();
    DeleteFileA(output.c_str());
    ConversionSession session;
    ConversionFigures figures;
    PreparedPeaks peaks;
    if (!Prepare(session, source, output, peaks) || !TimeConversion(session, figures)) {
      std::fprintf(stderr, "conversion run %d failed: %s\n", run + 1, figures.finishLine.c_str());
      return 1;
    }
    results.Put("program_convert_seconds", figures.toFinishSeconds);
    results.Put("program_click_to_stop_ms", figures.toStopSeconds * 1000);
    results.Put("program_idle_peak_bytes", peaks.idleBytes);
    results.Put("program_open_peak_bytes", peaks.openBytes);
    results.Put("program_peak_bytes", figures.peakBytes);
    session.Close();
  }
  program.DeleteApplicationKey();
  return 0;
}

// Seconds from CreateProcess to the visible main window; negative on failure.
double TimeStart(const std::string& programPath) {
  ProgramDriver driver;
  const double started = Seconds();
  if (!driver.Start(programPath)) return -1;
  HWND main = driver.WaitForWindow(kMainCaption, kStartTimeoutMs, 1);
  const double shown = Seconds() - started;
  if (!main) return -1;
  PostMessageA(main, WM_CLOSE, 0, 0);
  driver.WaitForExit(kStartTimeoutMs);
  return shown;
}

int BenchStartup(const std::string& programPath, int runs, const std::string& name,
                 Results& results) {
  AppProfile program("BrimvaleStudio", "RoroVozaririd");
  program.DeleteApplicationKey();
  if (TimeStart(programPath) < 0) return 1;  // warms the caches
  for (int run = 0; run < runs; ++run) {
    const double seconds = TimeStart(programPath);
    if (seconds < 0) return 1;
    results.Put(name + "_startup_seconds", seconds);
  }
  program.DeleteApplicationKey();
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: conversion_bench convert <source> <output> <runs> <results>\n"
               "       conversion_bench startup <program> <runs> <name> <results>\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 5 && args[0] == "convert") {
    Results results(args[4].c_str());
    if (!results.Ok()) return Usage();
    return BenchConversion(args[1], args[2], std::max(1, std::atoi(args[3].c_str())), results);
  }
  if (args.size() == 5 && args[0] == "startup") {
    Results results(args[4].c_str());
    if (!results.Ok()) return Usage();
    return BenchStartup(args[1], std::max(1, std::atoi(args[2].c_str())), args[3], results);
  }
  return Usage();
}
