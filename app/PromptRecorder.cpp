#include "app/PromptRecorder.h"

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

INT_PTR PromptRecorder::OpenWithShell(HWND, const char*, const char* file, const char*, const char*,
                                      int) {
  m_notes->push_back(file ? file : "");
  return SE_ERR_ACCESSDENIED;  // nothing was opened
}
