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

struct NestedScript {
  int markerId;
  const std::function<void(HWND)>* body;
  HWND found;
};
thread_local NestedScript* t_nested = nullptr;

BOOL CALLBACK FindMarked(HWND window, LPARAM lp) {
  auto* nested = reinterpret_cast<NestedScript*>(lp);
  if (!GetDlgItem(window, nested->markerId)) return TRUE;
  nested->found = window;
  return FALSE;
}

void CALLBACK RunNestedScript(HWND, UINT, UINT_PTR timer, DWORD) {
  NestedScript* nested = t_nested;
  if (!nested) return;
  EnumThreadWindows(GetCurrentThreadId(), &FindMarked, reinterpret_cast<LPARAM>(nested));
  if (!nested->found) return;  // not open yet: the timer comes again
  KillTimer(nullptr, timer);
  t_nested = nullptr;
  (*nested->body)(nested->found);
}

}  // namespace

void ClickAndDrive(HWND dialog, int id, int markerId, const std::function<void(HWND)>& script) {
  DriveNested([&] { Click(dialog, id); }, markerId, script);
}

bool DriveNested(const std::function<void()>& action, int markerId,
                 const std::function<void(HWND)>& script) {
  NestedScript nested{markerId, &script, nullptr};
  t_nested = &nested;
  UINT_PTR timer = SetTimer(nullptr, 0, 10, &RunNestedScript);
  action();
  KillTimer(nullptr, timer);
  t_nested = nullptr;
  return nested.found != nullptr;
}

INT_PTR RunScripted(ModalDialog& dialog, const std::function<void(HWND)>& script) {
  Script state{&dialog, &script};
  t_script = &state;
  SetTimer(nullptr, 0, 0, &RunScript);
  INT_PTR result = dialog.Run(nullptr);
  t_script = nullptr;
  return result;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done() && GetTickCount64() < end) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return done();
}

std::string ControlText(HWND dialog, int id) {
  char buffer[1024] = "";
  GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
  return buffer;
}

std::vector<std::string> ComboTexts(HWND combo) {
  std::vector<std::string> texts;
  LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::string text(static_cast<size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    texts.push_back(text.c_str());
  }
  return texts;
}

void Click(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
