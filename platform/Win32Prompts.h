#pragma once
// The real prompts: the Win32 message box, common dialogs and shell.

#include "platform/Prompts.h"

class Win32Prompts final : public Prompts {
 public:
  int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) override;
  bool AskOpenFileName(OPENFILENAMEA& request) override;
  bool AskSaveFileName(OPENFILENAMEA& request) override;
  bool AskFont(CHOOSEFONTA& request) override;
  INT_PTR OpenWithShell(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* folder, int show) override;
  UINT StartProgram(const char* commandLine, UINT show) override;
};
