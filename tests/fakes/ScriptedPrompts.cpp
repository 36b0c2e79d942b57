#include "fakes/ScriptedPrompts.h"

#include "platform/Str.h"

namespace {

std::string FilterText(const char* filter) {
  std::string out;
  if (!filter) return out;
  // A filter ends with two NULs.
  for (const char* p = filter; *p; p += strlen(p) + 1) {
    out += p;
    out += '|';
  }
  return out;
}

}  // namespace

std::vector<PromptRecord> ScriptedPrompts::Messages() const {
  std::vector<PromptRecord> out;
  for (const PromptRecord& r : m_records)
    if (r.kind == PromptRecord::Kind::Message) out.push_back(r);
  return out;
}

::testing::AssertionResult ScriptedPrompts::ShowedOneMessage(const std::string& text,
                                                             const std::string& caption, HWND owner,
                                                             std::optional<UINT> type) const {
  const std::vector<PromptRecord> shown = Messages();
  if (shown.size() == 1 && shown[0].text == text && shown[0].caption == caption &&
      shown[0].owner == owner && (!type || shown[0].type == *type))
    return ::testing::AssertionSuccess();
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << shown.size() << " message box(es) where one was expected (\"" << caption << "\": \""
          << text << "\")";
  for (const PromptRecord& m : shown)
    failure << "\n  \"" << m.caption << "\": \"" << m.text << "\" owner " << m.owner << " type "
            << m.type;
  return failure;
}

int ScriptedPrompts::ShowMessage(HWND owner, const char* text, const char* caption, UINT type) {
  PromptRecord record(PromptRecord::Kind::Message);
  record.owner = owner;
  record.text = text ? text : "";
  record.caption = caption ? caption : "";
  record.type = type;
  m_records.push_back(record);
  if (m_messageAnswers.empty()) return IDOK;
  int answer = m_messageAnswers.front();
  m_messageAnswers.pop_front();
  return answer;
}

bool ScriptedPrompts::AnswerFile(PromptRecord::Kind kind, OPENFILENAMEA& request) {
  PromptRecord record(kind);
  record.owner = request.hwndOwner;
  record.caption = request.lpstrTitle ? request.lpstrTitle : "";
  record.type = request.Flags;
  record.filter = FilterText(request.lpstrFilter);
  record.initialFolder = request.lpstrInitialDir ? request.lpstrInitialDir : "";
  record.initialFile = request.lpstrFile ? request.lpstrFile : "";
  record.structSize = request.lStructSize;
  record.filterIndex = request.nFilterIndex;
  m_records.push_back(record);

  if (m_fileAnswers.empty()) return false;
  std::optional<std::string> answer = m_fileAnswers.front();
  m_fileAnswers.pop_front();
  if (!answer) return false;
  // A real dialog refuses a name longer than its buffer.
  if (answer->size() >= request.nMaxFile) return false;
  str::Copy(request.lpstrFile, request.nMaxFile, answer->c_str());
  return true;
}

bool ScriptedPrompts::AskOpenFileName(OPENFILENAMEA& request) {
  return AnswerFile(PromptRecord::Kind::OpenFile, request);
}

bool ScriptedPrompts::AskSaveFileName(OPENFILENAMEA& request) {
  return AnswerFile(PromptRecord::Kind::SaveFile, request);
}

bool ScriptedPrompts::AskFont(CHOOSEFONTA& request) {
  PromptRecord record(PromptRecord::Kind::Font);
  record.owner = request.hwndOwner;
  record.type = request.Flags;
  m_records.push_back(record);
  if (m_fontAnswers.empty()) return false;
  std::optional<LOGFONTA> answer = m_fontAnswers.front();
  m_fontAnswers.pop_front();
  if (!answer || !request.lpLogFont) return false;
  *request.lpLogFont = *answer;
  return true;
}

INT_PTR ScriptedPrompts::OpenWithShell(HWND owner, const char* verb, const char* file,
                                       const char* /*parameters*/, const char* /*folder*/,
                                       int show) {
  PromptRecord record(PromptRecord::Kind::Shell);
  record.owner = owner;
  record.caption = verb ? verb : "";
  record.text = file ? file : "";
  record.type = static_cast<UINT>(show);
  m_records.push_back(record);
  if (m_shellResults.empty()) return 42;
  INT_PTR result = m_shellResults.front();
  m_shellResults.pop_front();
  return result;
}

UINT ScriptedPrompts::StartProgram(const char* commandLine, UINT show) {
  PromptRecord record(PromptRecord::Kind::Program);
  record.text = commandLine ? commandLine : "";
  record.type = show;
  m_records.push_back(record);
  return 33;
}
