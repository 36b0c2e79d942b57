#include "platform/Prompts.h"

#include <string>

#include "platform/Win32Prompts.h"

namespace {

Win32Prompts g_win32Prompts;
Prompts* g_prompts = &g_win32Prompts;
std::string g_appTitle;

}  // namespace

Prompts& Prompts::Current() { return *g_prompts; }

Prompts* Prompts::Install(Prompts* prompts) {
  Prompts* previous = g_prompts;
  g_prompts = prompts ? prompts : &g_win32Prompts;
  return previous;
}

void SetAppTitle(const char* title) { g_appTitle = title ? title : ""; }

const char* AppTitle() { return g_appTitle.c_str(); }

int ErrorBox(HWND owner, const char* text) {
  return Prompts::Current().ShowMessage(owner, text, "Error", MB_OK);
}

int AppMessageBox(const char* text) { return AppMessageBox(GetActiveWindow(), text); }

int AppMessageBox(HWND owner, const char* text) {
  return Prompts::Current().ShowMessage(owner, text, AppTitle(), MB_OK | MB_ICONEXCLAMATION);
}

int ReportDiagnostic(HWND owner, const char* format, ...) {
  char text[kDiagnosticChars + 1] = "";
  va_list args;
  va_start(args, format);
  str::FormatV(text, sizeof text, format, args);
  va_end(args);
  return Prompts::Current().ShowMessage(owner, text, "Message", MB_OK);
}
