#include "i18n/LanguageTestSupport.h"

#include <clocale>

std::string Ini(std::initializer_list<IniSection> sections) {
  std::string text;
  for (const IniSection& section : sections)
    text += std::string("[") + section.name + "]\r\n" + section.lines + "\r\n";
  return text;
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
