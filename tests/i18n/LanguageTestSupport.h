#pragma once
// What the localisation tests share: language files in a temporary folder, a
// registered language manager over a scratch registry key, and the thread's
// and runtime's locales put back afterwards.

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "fakes/ScriptedPrompts.h"
#include "i18n/LanguageManager.h"
#include "support/ScratchProfile.h"
#include "support/TempFolder.h"

// A text in a language file's form, for example
// Ini({{"DIALOG", "IDC_BUTTON_EXIT=Quitter\r\nIDC_BUTTON_HELP=Aide"}}).
struct IniSection {
  const char* name;
  std::string lines;
};
std::string Ini(std::initializer_list<IniSection> sections);

// A window's own text: a dialog's caption.
std::string Caption(HWND window);

// A menu's items by position, as the user sees them.
struct MenuItem {
  UINT id;
  std::string text;
  bool checked;
  bool operator==(const MenuItem&) const = default;
};
std::vector<MenuItem> Items(HMENU menu);

// Keeps the thread locale and the runtime library's locale.
class LocaleGuard {
 public:
  LocaleGuard();
  ~LocaleGuard();

 private:
  LCID m_threadLocale;
  std::string m_runtimeLocale;
};

// Language files under folder.Path()\language, a manager registered for the
// test, and scripted prompts.
class LanguageTest : public ::testing::Test {
 protected:
  LanguageTest();
  ~LanguageTest() override;

  void WriteLanguage(const std::string& name, const std::string& bytes) const {
    folder.Write("language\\" + name + ".ini", bytes);
  }
  // Initialize over the temporary folder.
  bool Start(const std::string& name) { return languages.Initialize(folder.Path(), name); }

  LocaleGuard locale;
  TempFolder folder;
  ScratchProfile profile{"i18n"};
  ScriptedPrompts prompts;
  LanguageManager languages{profile};

 private:
  LanguageManager* m_previous;
};
