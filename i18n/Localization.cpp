#include "i18n/Localization.h"

#include "platform/Str.h"

std::string BuiltInString(UINT id) {
  const wchar_t* text = nullptr;
  // With a zero buffer size LoadStringW hands out the resource's own text,
  // which is not terminated: the count is its length.
  int length = LoadStringW(GetModuleHandleA(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) return std::string();
  std::wstring wide(text, static_cast<size_t>(length));
  return str::ToAnsi(wide.c_str(), str::ThreadAnsiCodePage());
}

std::string GetLocalizedString(UINT id) { return BuiltInString(id); }

std::string GetLocalizedDialogText(UINT id) { return BuiltInString(id); }
