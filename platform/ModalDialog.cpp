#include "platform/ModalDialog.h"

#include <vector>

#include "platform/Str.h"

ModalDialog::ModalDialog(int templateId) : m_templateId(templateId) {}

INT_PTR ModalDialog::Run(HWND parent) {
  m_ending = false;
  INT_PTR result =
      DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), parent,
                      &ModalDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  m_hwnd = nullptr;
  m_ending = false;
  return result;
}

void ModalDialog::End(INT_PTR result) {
  m_ending = true;
  EndDialog(m_hwnd, result);
}

void ModalDialog::SetMessageResult(LRESULT result) {
  SetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT, result);
}

std::string ModalDialog::ItemText(int id) const {
  HWND item = Item(id);
  int length = item ? GetWindowTextLengthA(item) : 0;
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  if (item) GetWindowTextA(item, buffer.data(), length + 1);
  return std::string(buffer.data());
}

bool ModalDialog::ItemText(int id, char* buffer, size_t size) const {
  return str::Copy(buffer, size, ItemText(id).c_str());
}

void ModalDialog::SetItemText(int id, const char* text) { SetDlgItemTextA(m_hwnd, id, text); }

void ModalDialog::ShowItem(int id, bool visible) {
  ShowWindow(Item(id), visible ? SW_SHOW : SW_HIDE);
}


INT_PTR CALLBACK ModalDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<ModalDialog*>(lp);
    SetWindowLongPtrA(hwnd, DWLP_USER, lp);
    self->m_hwnd = hwnd;
    return self->OnInitDialog();
  }
  auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!self) return FALSE;  // messages before WM_INITDIALOG

  self->PreviewMessage(msg, wp, lp);
  INT_PTR result = FALSE;
  if (self->Route(msg, wp, lp, result)) return result;

  if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED &&
      (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
    self->End(LOWORD(wp));
    return TRUE;
  }
  return FALSE;
}
