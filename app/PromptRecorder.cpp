#include "app/PromptRecorder.h"

PromptRecorder::PromptRecorder(std::vector<std::string>* notes) : m_notes(notes) {
  if (m_notes) m_previous = Prompts::Install(this);
}

PromptRecorder::~PromptRecorder() {
  if (m_notes) Prompts::Install(m_previous);
}

int PromptRecorder::ShowMessage(HWND, const char* text, const char*, UINT type) {
  m_notes->push_back(text ? text : "");
  switch (type & MB_TYPEMASK) {
    case MB_YESNO:
      return IDNO;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
      return IDCANCEL;
    default:
      return IDOK;
  }
}

bool PromptRecorder::AskOpenFileName(OPENFILENAMEA& request) {
  return m_previous->AskOpenFileName(request);
}

bool PromptRecorder::AskSaveFileName(OPENFILENAMEA& request) {
  return m_previous->AskSaveFileName(request);
}

bool PromptRecorder::AskFont(CHOOSEFONTA& request) { return m_previous->AskFont(request); }

INT_PTR PromptRecorder::OpenWithShell(HWND, const char*, const char* file, const char*, const char*,
                                      int) {
  m_notes->push_back(file ? file : "");
  return SE_ERR_ACCESSDENIED;  // nothing was opened
}

UINT PromptRecorder::StartProgram(const char* commandLine, UINT show) {
  return m_previous->StartProgram(commandLine, show);
}
