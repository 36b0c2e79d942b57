#include "app/AboutDialog.h"

#include "i18n/Translation.h"
#include "res/resource.h"

AboutDialog::AboutDialog() : ModalDialog(IDD_ABOUTBOX) {}

BOOL AboutDialog::OnInitDialog() {
  TranslateDialog(Hwnd(), IDD_ABOUTBOX);
  return TRUE;
}
