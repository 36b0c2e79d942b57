#include "i18n/Localization.h"

#include <vector>

#include "i18n/LanguageManager.h"
#include "platform/Str.h"

namespace {

using TextList = const std::vector<TextEntry>& (LanguageManager::*)() const;

// The first entry with the id wins, even when its text is empty.
std::string FindText(TextList list, int id) {
  const LanguageManager* languages = LanguageManager::Registered();
  if (!languages) return std::string();
  for (const TextEntry& entry : (languages->*list)()) {
    if (entry.id == id) return entry.text;
  }
  return std::string();
}

}  // namespace

std::string BuiltInString(UINT id) {
  const wchar_t* text = nullptr;
  // With a zero buffer size LoadStringW hands out the resource's own text,
  // which is not terminated: the count is its length.
  int length = LoadStringW(GetModuleHandleA(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) return std::string();
  std::wstring wide(text, static_cast<size_t>(length));
  return str::ToAnsi(wide.c_str(), str::ThreadAnsiCodePage());
}

std::string GetLocalizedString(UINT id) {
  std::string text = FindText(&LanguageManager::StringTexts, static_cast<int>(id));
  return text.empty() ? BuiltInString(id) : text;
}

std::string GetLocalizedDialogText(UINT id) {
  std::string text = FindDialogText(static_cast<int>(id));
  return text.empty() ? BuiltInString(id) : text;
}

std::string FindDialogText(int id) { return FindText(&LanguageManager::DialogTexts, id); }

std::string FindMenuText(int id) { return FindText(&LanguageManager::MenuTexts, id); }
