#include "platform/Prompts.h"

#include <shellapi.h>

#include <string>

namespace {

// The prompts at the bottom, which go to Windows.
class WindowsPrompts final : public Prompts {
 public:
  WindowsPrompts() : Prompts(false) {}
};

WindowsPrompts g_windowsPrompts;
Prompts* g_prompts = &g_windowsPrompts;
std::string g_appTitle;

}  // namespace

// The current prompts are never none, so only an instance that took over has
// prompts before it.
Prompts::Prompts(bool takeOver) {
  if (!takeOver) return;
  m_previous = g_prompts;
  g_prompts = this;
}

Prompts::~Prompts() {
  if (m_previous) g_prompts = m_previous;
}

Prompts& Prompts::Current() { return *g_prompts; }

int Prompts::ShowMessage(HWND owner, const char* text, const char* caption, UINT type) {
  return m_previous ? m_previous->ShowMessage(owner, text, caption, type)
                    : MessageBoxA(owner, text, caption, type);
}

bool Prompts::AskOpenFileName(OPENFILENAMEA& request) {
  return m_previous ? m_previous->AskOpenFileName(request) : GetOpenFileNameA(&request) != FALSE;
}

bool Prompts::AskSaveFileName(OPENFILENAMEA& request) {
  return m_previous ? m_previous->AskSaveFileName(request) : GetSaveFileNameA(&request) != FALSE;
}

bool Prompts::AskFont(CHOOSEFONTA& request) {
  return m_previous ? m_previous->AskFont(request) : ChooseFontA(&request) != FALSE;
}

INT_PTR Prompts::OpenWithShell(HWND owner, const char* verb, const char* file,
                               const char* parameters, const char* folder, int show) {
  if (m_previous) return m_previous->OpenWithShell(owner, verb, file, parameters, folder, show);
  return reinterpret_cast<INT_PTR>(ShellExecuteA(owner, verb, file, parameters, folder, show));
}

UINT Prompts::StartProgram(const char* commandLine, UINT show) {
  return m_previous ? m_previous->StartProgram(commandLine, show) : WinExec(commandLine, show);
}

void SetAppTitle(const char* title) { g_appTitle = title ? title : ""; }

const char* AppTitle() { return g_appTitle.c_str(); }

int ErrorBox(HWND owner, const char* text) {
  return Prompts::Current().ShowMessage(owner, text, "Error", MB_OK);
}

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
