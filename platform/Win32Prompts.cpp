#include "platform/Win32Prompts.h"

#include <shellapi.h>

int Win32Prompts::ShowMessage(HWND owner, const char* text, const char* caption, UINT type) {
  return MessageBoxA(owner, text, caption, type);
}

bool Win32Prompts::AskOpenFileName(OPENFILENAMEA& request) {
  return GetOpenFileNameA(&request) != FALSE;
}

bool Win32Prompts::AskSaveFileName(OPENFILENAMEA& request) {
  return GetSaveFileNameA(&request) != FALSE;
}

bool Win32Prompts::AskFont(CHOOSEFONTA& request) { return ChooseFontA(&request) != FALSE; }

INT_PTR Win32Prompts::OpenWithShell(HWND owner, const char* verb, const char* file,
                                    const char* parameters, const char* folder, int show) {
  return reinterpret_cast<INT_PTR>(ShellExecuteA(owner, verb, file, parameters, folder, show));
}

UINT Win32Prompts::StartProgram(const char* commandLine, UINT show) {
  return WinExec(commandLine, show);
}
