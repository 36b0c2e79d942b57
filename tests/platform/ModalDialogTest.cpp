#include "platform/ModalDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "support/ScriptedDialog.h"

namespace {

constexpr UINT kProbeMessage = WM_USER + 13;
constexpr UINT_PTR kTickTimer = 77;

// A dialog on the filter-properties template with one route of each kind.
class RoutedDialog : public ModalDialog {
 public:
  RoutedDialog() : ModalDialog(IDD_FILTER_PROPERTIES) {}
  std::vector<std::string> log;

 protected:
  BOOL OnInitDialog() override {
    log.push_back("init");
    return TRUE;
  }
  void PreviewMessage(UINT msg, WPARAM wp, LPARAM) override {
    if (msg == WM_COMMAND) log.push_back("preview " + std::to_string(LOWORD(wp)));
  }
  bool Route(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  void OnSettings() { log.push_back("settings"); }
  void OnSelection() { log.push_back("selection"); }
  void OnTick() { log.push_back("tick"); }
  INT_PTR OnProbe(WPARAM wp, LPARAM) {
    log.push_back("probe");
    if (wp == 0) return FALSE;  // asks for the default processing
    SetMessageResult(static_cast<LRESULT>(wp) * 2);
    return TRUE;
  }

  static const MessageRoute<RoutedDialog> kRoutes[];
};

const MessageRoute<RoutedDialog> RoutedDialog::kRoutes[] = {
    OnCommand(IDC_BUTTON_FILTER_SETTINGS, &RoutedDialog::OnSettings),
    OnCommand(IDC_LIST_FILTERS, &RoutedDialog::OnSelection, LBN_SELCHANGE),
    OnTimer(kTickTimer, &RoutedDialog::OnTick),
    OnMessage(kProbeMessage, &RoutedDialog::OnProbe),
};

bool RoutedDialog::Route(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  return DispatchRoutes(*this, kRoutes, msg, wp, lp, result);
}

void Command(HWND dialog, int id, int notification) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, notification),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

TEST(ModalDialog, RoutesCommandsByIdAndNotification) {
  RoutedDialog dialog;
  RunScripted(dialog, [&](HWND hwnd) {
    dialog.log.clear();
    Click(hwnd, IDC_BUTTON_FILTER_SETTINGS);
    Command(hwnd, IDC_LIST_FILTERS, LBN_DBLCLK);  // not routed
    Command(hwnd, IDC_LIST_FILTERS, LBN_SELCHANGE);
    SendMessageA(hwnd, WM_TIMER, kTickTimer + 1, 0);  // not routed
    SendMessageA(hwnd, WM_TIMER, kTickTimer, 0);
  });
  const std::vector<std::string> expected = {"preview 1055", "settings",  "preview 1054",
                                             "preview 1054", "selection", "tick"};
  EXPECT_EQ(dialog.log, expected);
}

TEST(ModalDialog, MessageHandlersFollowTheDialogProcedureContract) {
  RoutedDialog dialog;
  LRESULT handled = 0;
  LRESULT defaulted = -1;
  RunScripted(dialog, [&](HWND hwnd) {
    handled = SendMessageA(hwnd, kProbeMessage, 21, 0);
    defaulted = SendMessageA(hwnd, kProbeMessage, 0, 0);
  });
  EXPECT_EQ(handled, 42);
  EXPECT_EQ(defaulted, 0);
}

TEST(ModalDialog, UnroutedOkAndCancelEndTheDialog) {
  for (int id : {IDOK, IDCANCEL}) {
    RoutedDialog dialog;
    INT_PTR result = RunScripted(dialog, [&](HWND hwnd) { Click(hwnd, id); });
    EXPECT_EQ(result, id);
  }
}

// Each window keeps its own object, not a static one that the last opened wins.
TEST(ModalDialog, ANestedDialogOfTheSameClassKeepsItsOwnObject) {
  RoutedDialog first;
  RoutedDialog second;
  RunScripted(first, [&](HWND hwnd) {
    RunScripted(second, [](HWND) {});
    Click(hwnd, IDC_BUTTON_FILTER_SETTINGS);
  });
  ASSERT_FALSE(first.log.empty());
  EXPECT_EQ(first.log.back(), "settings");
  EXPECT_EQ(second.log, std::vector<std::string>{"init"});
}

TEST(ModalDialog, AMissingTemplateGivesMinusOne) {
  class Missing : public ModalDialog {
   public:
    Missing() : ModalDialog(4242) {}
    bool Route(UINT, WPARAM, LPARAM, INT_PTR&) override { return false; }
  } dialog;
  EXPECT_EQ(dialog.Run(nullptr), -1);
}

}  // namespace
