#pragma once
// Every message box, common file and font dialog and shell launch of the
// program goes through the installed Prompts. The program runs with the Win32
// one; a test installs a scripted one that records each prompt and answers it.

#include <windows.h>
#include <commdlg.h>

#include "platform/Str.h"

class Prompts {
 public:
  virtual ~Prompts() = default;

  virtual int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) = 0;
  virtual bool AskOpenFileName(OPENFILENAMEA& request) = 0;
  virtual bool AskSaveFileName(OPENFILENAMEA& request) = 0;
  virtual bool AskFont(CHOOSEFONTA& request) = 0;
  // ShellExecuteA: its result (above 32 on success).
  virtual INT_PTR OpenWithShell(HWND owner, const char* verb, const char* file,
                                const char* parameters, const char* folder, int show) = 0;
  // WinExec: its result (above 31 on success).
  virtual UINT StartProgram(const char* commandLine, UINT show) = 0;

  static Prompts& Current();
  // Installs prompts (not owned) and returns the previous ones; nullptr puts
  // the Win32 prompts back.
  static Prompts* Install(Prompts* prompts);
};

// The application's title: the caption of its standard message box.
void SetAppTitle(const char* title);
const char* AppTitle();

// A box with the literal caption "Error" and an OK button.
int ErrorBox(HWND owner, const char* text);
// The application's standard message box: its title as caption, an OK button
// and the exclamation icon, owned by owner (the thread's active window when
// none is given).
int AppMessageBox(const char* text);
int AppMessageBox(HWND owner, const char* text);
// The diagnostic box: format (always a literal of the program) with its
// arguments, cut to kDiagnosticChars characters, caption "Message", owned by
// owner, an OK button.
constexpr size_t kDiagnosticChars = 511;
int ReportDiagnostic(HWND owner, const char* format, ...) STR_PRINTF_LIKE(2, 3);
