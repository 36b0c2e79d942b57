#pragma once
// Prompts that take over from the current ones while they live and put them
// back when they go. Every prompt that a derived class does not answer itself
// goes on to the prompts it took over from.

#include "platform/Prompts.h"

class PromptsOverride : public Prompts {
 public:
  PromptsOverride(const PromptsOverride&) = delete;
  PromptsOverride& operator=(const PromptsOverride&) = delete;

  int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) override;
  bool AskOpenFileName(OPENFILENAMEA& request) override;
  bool AskSaveFileName(OPENFILENAMEA& request) override;
  bool AskFont(CHOOSEFONTA& request) override;
  INT_PTR OpenWithShell(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* folder, int show) override;
  UINT StartProgram(const char* commandLine, UINT show) override;

 protected:
  // install false: the current prompts stay, and these are never asked.
  explicit PromptsOverride(bool install = true);
  ~PromptsOverride() override;

 private:
  bool m_installed;
  Prompts* m_previous = nullptr;
};
