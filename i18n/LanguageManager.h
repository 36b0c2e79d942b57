#pragma once
// The interface language of the run. Without language files the built-in
// English texts serve and the language is "english".

#include <string>

class LanguageManager {
 public:
  // The name stored in "Option"/"CurrentLanguage" at close.
  const std::string& CurrentLanguage() const { return m_currentLanguage; }

 private:
  std::string m_currentLanguage = "english";
};
