#pragma once
// Starts the real program and drives it from outside, as a user would: finds
// its windows, reads control texts, clicks, answers message boxes, takes
// screenshots.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// What a process holds: kernel handles, GDI objects, threads, private bytes.
struct ProcessResources {
  DWORD handles = 0;
  DWORD gdiObjects = 0;
  DWORD threads = 0;
  uint64_t privateBytes = 0;
};
// What the process (with its id) holds now.
ProcessResources ResourcesOf(HANDLE process, DWORD id);

// Waits until done() holds, looking every 50 ms, or the time is up; the last
// answer of done().
template <class Condition>
bool WaitUntil(Condition done, DWORD timeoutMs = 60000) {
  for (const DWORD start = GetTickCount(); !done(); Sleep(50))
    if (GetTickCount() - start >= timeoutMs) return false;
  return true;
}

class ProgramDriver {
 public:
  ProgramDriver() = default;
  ~ProgramDriver();  // a program still running is killed
  ProgramDriver(const ProgramDriver&) = delete;
  ProgramDriver& operator=(const ProgramDriver&) = delete;

  // The program beside this test executable.
  static std::string ProgramPath();
  // The folder screenshots go to (created on demand).
  static std::string ScreenshotFolder();

  // arguments follow the quoted path on the command line as they stand.
  bool Start(const std::string& exePath, const std::string& arguments = "");
  // A visible top-level window of the program with this caption, looked for
  // every pollMs milliseconds.
  HWND WaitForWindow(const char* caption, DWORD timeoutMs, DWORD pollMs = 100) const;
  // A visible message box of the program: its text is control 0xFFFF.
  HWND WaitForMessageBox(DWORD timeoutMs) const;
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
  // Posts WM_CLOSE to window; true when the program then ended with exit code 0.
  bool Close(HWND window, DWORD timeoutMs) const;
  // Ends the program at once, as a crash does (TerminateProcess), and lets go
  // of it: Start may follow.
  void Kill();
  // The running program's process; nullptr before Start.
  HANDLE Process() const { return m_process.hProcess; }
  // What the running program holds now.
  ProcessResources Resources() const;

  // Drops paths on window as the shell does: WM_DROPFILES with an HDROP, a
  // DROPFILES header followed by the wide names. False when it could not be sent.
  bool DropFiles(HWND window, const std::vector<std::string>& paths) const;

  static std::string Text(HWND window, int id);
  static std::string Caption(HWND window);
  static bool Visible(HWND window, int id);
  static void Click(HWND window, int id);
  // Saves the window's picture on the screen as a 24-bit BMP file.
  static bool SaveScreenshot(HWND window, const std::string& path);

 private:
  PROCESS_INFORMATION m_process = {};
};
