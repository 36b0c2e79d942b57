#pragma once
// While it lives, message boxes and shell launches are not shown but noted,
// so that an unattended batch never waits for a click: a box gets the answer
// that changes nothing (OK, No or Cancel). File and font dialogs and started
// programs pass through. Built with no notes, it leaves the prompts as they are.

#include <string>
#include <vector>

#include "platform/Prompts.h"

class PromptRecorder final : public Prompts {
 public:
  // notes (not owned) receives each message's text, or each launched file.
  explicit PromptRecorder(std::vector<std::string>* notes)
      : Prompts(notes != nullptr), m_notes(notes) {}

  int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) override;
  INT_PTR OpenWithShell(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* folder, int show) override;

 private:
  std::vector<std::string>* m_notes;
};
