#pragma once
// Every message box, common file and font dialog and shell launch of the
// program goes through the current Prompts. At the bottom they go to Windows;
// an instance of a derived class takes over while it lives (the batch's
// recorder, a test's scripted prompts) and answers the prompts it overrides,
// handing the others on to the prompts it took over from.

#include <windows.h>
#include <commdlg.h>

#include "platform/Str.h"

class Prompts {
 public:
  virtual ~Prompts();
  Prompts(const Prompts&) = delete;
  Prompts& operator=(const Prompts&) = delete;

  virtual int ShowMessage(HWND owner, const char* text, const char* caption, UINT type);
  virtual bool AskOpenFileName(OPENFILENAMEA& request);
  virtual bool AskSaveFileName(OPENFILENAMEA& request);
  virtual bool AskFont(CHOOSEFONTA& request);
  // ShellExecuteA: its result (above 32 on success).
  virtual INT_PTR OpenWithShell(HWND owner, const char* verb, const char* file,
                                const char* parameters, const char* folder, int show);
  // WinExec: its result (above 31 on success).
  virtual UINT StartProgram(const char* commandLine, UINT show);

  static Prompts& Current();

 protected:
  // takeOver false: the current prompts stay, and this instance is never asked.
  explicit Prompts(bool takeOver = true);

 private:
  Prompts* m_previous = nullptr;  // the prompts taken over from; nullptr: Windows
};

// The application's title: the caption of its standard message box.
void SetAppTitle(const char* title);
const char* AppTitle();

// A box with the literal caption "Error" and an OK button.
int ErrorBox(HWND owner, const char* text);
// The application's standard message box: its title as caption, an OK button
// and the exclamation icon, owned by owner.
int AppMessageBox(HWND owner, const char* text);
// The diagnostic box: format (always a literal of the program) with its
// arguments, cut to kDiagnosticChars characters, caption "Message", owned by
// owner, an OK button.
constexpr size_t kDiagnosticChars = 511;
int ReportDiagnostic(HWND owner, const char* format, ...) STR_PRINTF_LIKE(2, 3);
