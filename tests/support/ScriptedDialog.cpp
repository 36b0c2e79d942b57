#include "support/ScriptedDialog.h"

#include <string>

namespace {

struct Script {
  ModalDialog* dialog;
  const std::function<void(HWND)>* body;
};
thread_local Script* t_script = nullptr;

void CALLBACK RunScript(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  Script* script = t_script;
  if (!script) return;
  t_script = nullptr;
  HWND window = script->dialog->Hwnd();
  (*script->body)(window);
  if (!script->dialog->Ending()) EndDialog(window, kLeftOpen);
}

}  // namespace

INT_PTR RunScripted(ModalDialog& dialog, const std::function<void(HWND)>& script) {
  Script state{&dialog, &script};
  t_script = &state;
  SetTimer(nullptr, 0, 0, &RunScript);
  INT_PTR result = dialog.Run(nullptr);
  t_script = nullptr;
  return result;
}

std::string ControlText(HWND dialog, int id) {
  char buffer[1024] = "";
  GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
  return buffer;
}

void Click(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
