#pragma once
// Prompts for tests: every prompt is recorded and answered from a plan, so no
// real message box or common dialog ever waits for a user. Installs itself
// for its lifetime.

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/Prompts.h"

struct PromptRecord {
  enum class Kind { Message, OpenFile, SaveFile, Font, Shell, Program };
  explicit PromptRecord(Kind k) : kind(k) {}

  Kind kind;
  HWND owner = nullptr;
  std::string text;     // message text, shell file, program command line
  std::string caption;  // message caption, dialog title, shell verb
  UINT type = 0;        // message box type, dialog flags, show command
  // File dialogs: what the program offered.
  std::string filter;  // NULs shown as '|'
  std::string initialFolder;
  std::string initialFile;
  DWORD structSize = 0;
  DWORD filterIndex = 0;
};

class ScriptedPrompts final : public Prompts {
 public:
  // Planned answers, used in order; without a plan a message box answers
  // IDOK, file and font dialogs are cancelled, and launches succeed.
  void PlanMessageAnswer(int answer) { m_messageAnswers.push_back(answer); }
  void PlanFileAnswer(std::optional<std::string> path) { m_fileAnswers.push_back(std::move(path)); }
  void PlanFontAnswer(std::optional<LOGFONTA> font) { m_fontAnswers.push_back(font); }
  // What the next shell launch answers (32 or less is a failure).
  void PlanShellResult(INT_PTR result) { m_shellResults.push_back(result); }

  const std::vector<PromptRecord>& Records() const { return m_records; }
  std::vector<PromptRecord> Messages() const;
  // Whether exactly one message box was shown, with this text, caption and
  // owner, and this type where one is given; what was shown when not.
  ::testing::AssertionResult ShowedOneMessage(const std::string& text, const std::string& caption,
                                              HWND owner,
                                              std::optional<UINT> type = std::nullopt) const;
  void Clear() { m_records.clear(); }

  int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) override;
  bool AskOpenFileName(OPENFILENAMEA& request) override;
  bool AskSaveFileName(OPENFILENAMEA& request) override;
  bool AskFont(CHOOSEFONTA& request) override;
  INT_PTR OpenWithShell(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* folder, int show) override;
  UINT StartProgram(const char* commandLine, UINT show) override;

 private:
  bool AnswerFile(PromptRecord::Kind kind, OPENFILENAMEA& request);

  std::vector<PromptRecord> m_records;
  std::deque<int> m_messageAnswers;
  std::deque<std::optional<std::string>> m_fileAnswers;
  std::deque<std::optional<LOGFONTA>> m_fontAnswers;
  std::deque<INT_PTR> m_shellResults;
};
