#pragma once
// The About box (template 100), in the current language as it opens.

#include "platform/ModalDialog.h"

class AboutDialog : public ModalDialog {
 public:
  AboutDialog();

 protected:
  BOOL OnInitDialog() override;
  // OK, the close box and Escape end it through the default handling.
  bool Route(UINT, WPARAM, LPARAM, INT_PTR&) override { return false; }
};
