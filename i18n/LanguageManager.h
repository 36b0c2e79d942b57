#pragma once
// The interface language of the run: finds the language files in the folder
// "language", reads the chosen file's texts into three lists (one per file
// section), sets the thread's locale to the language's and keeps the
// language's interface font. Without language files the built-in English
// texts serve and the language is "english".
//
// One instance lives for the whole run; start-up registers it so that the
// free lookups and translations (Localization.h, Translation.h) read it.

#include <windows.h>

#include <string>
#include <vector>

#include "i18n/InterfaceFont.h"
#include "i18n/LocaleTable.h"
#include "platform/AppProfile.h"

struct TextEntry {
  int id;
  std::string text;  // empty: keep the built-in text
};

class LanguageManager {
 public:
  // profile is not owned and outlives the manager; the interface fonts are
  // stored under it, one key per language.
  explicit LanguageManager(const AppProfile& profile);
  ~LanguageManager();
  LanguageManager(const LanguageManager&) = delete;
  LanguageManager& operator=(const LanguageManager&) = delete;

  // The manager that the free lookups read (nullptr: built-in texts only).
  static LanguageManager* Registered();
  // Registers manager (not owned); gives the one registered before.
  static LanguageManager* Register(LanguageManager* manager);

  // The folder that holds "language": the program's folder, or its parent
  // when the parent's "language" folder holds English.ini.
  static std::string ResolveLanguageRoot();
  static std::string ResolveLanguageRoot(const std::string& programPath);
  static LanguageFileEncoding EncodingFromName(const std::string& name);
  // Tab, line feed and carriage return for \t, \n and \r; there is no escape
  // for the backslash itself. Double-byte characters of codePage are whole.
  static std::string UnescapeText(const std::string& text, UINT codePage = CP_ACP);

  // Lists the language files under baseDirectory and selects `name`; false
  // (and nothing loaded) when there is no language file.
  bool Initialize(const std::string& baseDirectory, const std::string& name);
  // Appends the names of the language files found and sorts them byte-wise.
  bool ScanLanguageFiles();
  // Loads `name`, or "english" when no file has that name.
  void SelectLanguage(const std::string& name);
  std::string ReadLanguageValue(const char* section, const char* key) const;

  // The name stored in "Option"/"CurrentLanguage" at close.
  const std::string& CurrentLanguage() const { return m_currentLanguage; }
  size_t LanguageCount() const { return m_languageNames.size(); }
  const std::string& LanguageName(size_t index) const { return m_languageNames[index]; }
  const std::string& BaseDirectory() const { return m_baseDirectory; }
  const std::string& LanguageFilePath() const { return m_languageFilePath; }
  LANGID LanguageId() const;

  const std::vector<TextEntry>& MenuTexts() const { return m_menuTexts; }
  const std::vector<TextEntry>& StringTexts() const { return m_stringTexts; }
  const std::vector<TextEntry>& DialogTexts() const { return m_dialogTexts; }

  // nullptr until a language has been loaded, or when its font failed.
  HFONT InterfaceFontHandle() const { return m_interfaceFont.Handle(); }
  // The interface font's description, or the defaults without one.
  LOGFONTA InterfaceFontDescription() const { return m_interfaceFont.Description(); }
  // Rebuilds the interface font from the current language's stored values.
  bool LoadInterfaceFont();
  // Stores the description of font under the current language.
  bool SaveInterfaceFont(HFONT font);
  // Makes font the interface font and stores it; false when it could not be
  // made (nothing is stored then).
  bool ReplaceInterfaceFont(const LOGFONTA& font);

 private:
  bool LoadLanguage(const std::string& name);
  void ReadTexts(UINT codePage);
  void ConvertUtf8Texts();
  void ApplyLocale(const std::string& runtimeLocale);

  const AppProfile& m_profile;
  std::string m_currentLanguage = "english";
  std::vector<std::string> m_languageNames;
  std::vector<TextEntry> m_menuTexts;
  std::vector<TextEntry> m_stringTexts;
  std::vector<TextEntry> m_dialogTexts;
  std::string m_baseDirectory;
  int m_subLanguage = SUBLANG_ENGLISH_US;
  int m_primaryLanguage = LANG_ENGLISH;
  std::string m_languageFilePath;
  LanguageFileEncoding m_encoding = LanguageFileEncoding::Ansi;
  InterfaceFont m_interfaceFont;
};
