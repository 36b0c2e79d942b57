#include "platform/PromptsOverride.h"

PromptsOverride::PromptsOverride(bool install) : m_installed(install) {
  if (m_installed) m_previous = Prompts::Install(this);
}

PromptsOverride::~PromptsOverride() {
  if (m_installed) Prompts::Install(m_previous);
}

int PromptsOverride::ShowMessage(HWND owner, const char* text, const char* caption, UINT type) {
  return m_previous->ShowMessage(owner, text, caption, type);
}

bool PromptsOverride::AskOpenFileName(OPENFILENAMEA& request) {
  return m_previous->AskOpenFileName(request);
}

bool PromptsOverride::AskSaveFileName(OPENFILENAMEA& request) {
  return m_previous->AskSaveFileName(request);
}

bool PromptsOverride::AskFont(CHOOSEFONTA& request) { return m_previous->AskFont(request); }

INT_PTR PromptsOverride::OpenWithShell(HWND owner, const char* verb, const char* file,
                                       const char* parameters, const char* folder, int show) {
  return m_previous->OpenWithShell(owner, verb, file, parameters, folder, show);
}

UINT PromptsOverride::StartProgram(const char* commandLine, UINT show) {
  return m_previous->StartProgram(commandLine, show);
}
