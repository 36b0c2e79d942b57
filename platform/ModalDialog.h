#pragma once
// A modal dialog run from a template with DialogBoxParamA. The object lives in
// the window's DWLP_USER from WM_INITDIALOG on. Each dialog declares a flat
// table of routes (commands by id, timers, window messages); what no route
// takes gets the dialog manager's default processing, except that an
// unrouted IDOK or IDCANCEL ends the dialog with that result.
//
// Handlers follow the dialog-procedure contract: a message handler returns
// TRUE when it handled the message (FALSE asks for the default processing);
// a result that is not a plain TRUE goes through SetMessageResult, except for
// the messages whose dialog procedure returns the value itself (for example
// WM_QUERYDRAGICON).

#include <windows.h>

#include <cstddef>
#include <string>

class ModalDialog {
 public:
  explicit ModalDialog(int templateId);
  virtual ~ModalDialog() = default;
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

  // Runs the dialog; gives what ended it, or -1 when it could not be created.
  INT_PTR Run(HWND parent);

  HWND Hwnd() const { return m_hwnd; }
  int TemplateId() const { return m_templateId; }
  // True from End until the run returns.
  bool Ending() const { return m_ending; }

 protected:
  // WM_INITDIALOG; TRUE lets the dialog manager set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  // Sees every message before the routes; it cannot consume it.
  virtual void PreviewMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/) {}
  // The dialog's route table; true when a route took the message.
  virtual bool Route(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) = 0;

  void End(INT_PTR result);
  void SetMessageResult(LRESULT result);

  HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
  std::string ItemText(int id) const;
  // Bounded read of a control's text; false when it was cut.
  bool ItemText(int id, char* buffer, size_t size) const;
  void SetItemText(int id, const char* text);
  void ShowItem(int id, bool visible);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  int m_templateId;
  HWND m_hwnd = nullptr;
  bool m_ending = false;
};

// One row of a dialog's route table.
template <class Dialog>
struct MessageRoute {
  enum class Kind { Command, Timer, Message };
  static constexpr UINT kAnyNotification = 0xFFFFFFFFu;

  Kind kind;
  UINT key;           // command id, timer id or window message
  UINT notification;  // commands: BN_CLICKED, CBN_SELCHANGE ... or kAnyNotification
  void (Dialog::*onCommand)();
  INT_PTR (Dialog::*onMessage)(WPARAM, LPARAM);
};

template <class Dialog>
constexpr MessageRoute<Dialog> OnCommand(UINT id, void (Dialog::*handler)(),
                                         UINT notification = BN_CLICKED) {
  return {MessageRoute<Dialog>::Kind::Command, id, notification, handler, nullptr};
}

template <class Dialog>
constexpr MessageRoute<Dialog> OnTimer(UINT timerId, void (Dialog::*handler)()) {
  return {MessageRoute<Dialog>::Kind::Timer, timerId, 0, handler, nullptr};
}

template <class Dialog>
constexpr MessageRoute<Dialog> OnMessage(UINT msg, INT_PTR (Dialog::*handler)(WPARAM, LPARAM)) {
  return {MessageRoute<Dialog>::Kind::Message, msg, 0, nullptr, handler};
}

// The first route that matches takes the message.
template <class Dialog, size_t N>
bool DispatchRoutes(Dialog& dialog, const MessageRoute<Dialog> (&routes)[N], UINT msg, WPARAM wp,
                    LPARAM lp, INT_PTR& result) {
  using Kind = typename MessageRoute<Dialog>::Kind;
  for (const MessageRoute<Dialog>& route : routes) {
    switch (route.kind) {
      case Kind::Command:
        if (msg == WM_COMMAND && LOWORD(wp) == route.key &&
            (route.notification == MessageRoute<Dialog>::kAnyNotification ||
             HIWORD(wp) == route.notification)) {
          (dialog.*route.onCommand)();
          result = TRUE;
          return true;
        }
        break;
      case Kind::Timer:
        if (msg == WM_TIMER && wp == route.key) {
          (dialog.*route.onCommand)();
          result = TRUE;
          return true;
        }
        break;
      case Kind::Message:
        if (msg == route.key) {
          result = (dialog.*route.onMessage)(wp, lp);
          return true;
        }
        break;
    }
  }
  return false;
}
