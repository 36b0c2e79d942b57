#include "i18n/LanguageTestSupport.h"

#include <clocale>

std::string Ini(std::initializer_list<IniSection> sections) {
  std::string text;
  for (const IniSection& section : sections)
    text += std::string("[") + section.name + "]\r\n" + section.lines + "\r\n";
  return text;
}

std::string Caption(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::vector<MenuItem> Items(HMENU menu) {
  std::vector<MenuItem> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[128] = "";
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    bool checked = (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0;
    items.push_back({GetMenuItemID(menu, i), text, checked});
  }
  return items;
}

LocaleGuard::LocaleGuard() : m_threadLocale(GetThreadLocale()) {
  const char* runtime = setlocale(LC_ALL, nullptr);
  m_runtimeLocale = runtime ? runtime : "C";
}

LocaleGuard::~LocaleGuard() {
  SetThreadLocale(m_threadLocale);
  setlocale(LC_ALL, m_runtimeLocale.c_str());
}

LanguageTest::LanguageTest() : m_previous(LanguageManager::Register(&languages)) {}

LanguageTest::~LanguageTest() { LanguageManager::Register(m_previous); }
