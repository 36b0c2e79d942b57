#include "i18n/LanguageManager.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "i18n/LocaleResolution.h"
#include "i18n/TextKeyTable.h"
#include "i18n/TextUnescaping.h"
#include "platform/Path.h"
#include "platform/Str.h"

namespace {

LanguageManager* g_registered = nullptr;

constexpr char kLanguageFolder[] = "\\language\\";
constexpr char kLanguageExtension[] = ".ini";
constexpr char kProbeFile[] = "\\language\\English.ini";
constexpr size_t kValueBufferSize = 2048;

std::string FolderWithoutSlash(const std::string& path) {
  const char* slash = path::LastBackslash(path.c_str());
  return slash ? path.substr(0, static_cast<size_t>(slash - path.c_str())) : path;
}

// The UTF-8 text in the thread locale's code page; a text that is not valid
// UTF-8 (the profile reader may have decoded the file already) stays as it is.
std::string FromUtf8(const std::string& text) {
  int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), -1, nullptr, 0);
  if (text.empty() || length <= 0) return text;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), -1, wide.data(), length);
  return str::ToAnsi(wide.c_str(), str::ThreadAnsiCodePage());
}

}  // namespace

LanguageManager::LanguageManager(const AppProfile& profile) : m_profile(profile) {}

LanguageManager::~LanguageManager() {
  if (g_registered == this) g_registered = nullptr;
}

LanguageManager* LanguageManager::Registered() { return g_registered; }

LanguageManager* LanguageManager::Register(LanguageManager* manager) {
  LanguageManager* previous = g_registered;
  g_registered = manager;
  return previous;
}

std::string LanguageManager::ResolveLanguageRoot() {
  char module[MAX_PATH + 1] = "";
  DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  module[length < sizeof module ? length : sizeof module - 1] = '\0';
  return ResolveLanguageRoot(module);
}

std::string LanguageManager::ResolveLanguageRoot(const std::string& programPath) {
  std::string programFolder = FolderWithoutSlash(programPath);
  if (!path::LastBackslash(programFolder.c_str())) return programFolder;
  std::string parentFolder = FolderWithoutSlash(programFolder);
  return path::FileExists((parentFolder + kProbeFile).c_str()) ? parentFolder : programFolder;
}

LanguageFileEncoding LanguageManager::EncodingFromName(const std::string& name) {
  std::string lower = str::ToLower(name.c_str());
  if (lower.find("_utf-8") != std::string::npos) return LanguageFileEncoding::Utf8;
  if (lower.find("_unicode") != std::string::npos) return LanguageFileEncoding::Unicode;
  return LanguageFileEncoding::Ansi;
}

std::string LanguageManager::UnescapeText(const std::string& text, UINT codePage) {
  LeadBytes leadBytes;
  if (codePage != CP_UTF8) {
    for (int byte = 0x80; byte < 0x100; ++byte)
      leadBytes[byte] = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(byte));
  }
  return UnescapeLanguageText(text, leadBytes);
}

bool LanguageManager::Initialize(const std::string& baseDirectory, const std::string& name) {
  m_baseDirectory = baseDirectory;
  m_languageNames.clear();
  ScanLanguageFiles();
  if (m_languageNames.empty()) return false;
  SelectLanguage(name);
  return true;
}

bool LanguageManager::ScanLanguageFiles() {
  std::string pattern =
      str::Printf("%s\\language\\*%s", m_baseDirectory.c_str(), kLanguageExtension);
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool matched = false;
  do {
    std::string file = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || file.size() < 4) continue;
    m_languageNames.push_back(file.substr(0, file.size() - 4));
    matched = true;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  // Byte order: capitals before small letters. This is the menu's order.
  std::sort(m_languageNames.begin(), m_languageNames.end());
  return matched;
}

void LanguageManager::SelectLanguage(const std::string& name) {
  m_menuTexts.clear();
  m_stringTexts.clear();
  m_dialogTexts.clear();
  m_currentLanguage = "english";
  for (const std::string& known : m_languageNames) {
    if (!str::EqualNoCase(known.c_str(), name.c_str())) continue;
    m_currentLanguage = name;
    break;
  }
  LoadLanguage(name == m_currentLanguage ? name : std::string("english"));
}

bool LanguageManager::LoadLanguage(const std::string& name) {
  if (m_languageNames.empty()) return false;
  m_encoding = EncodingFromName(name);
  LocaleMatch locale = ResolveLocale(name, m_encoding);
  if (locale.found) {
    m_primaryLanguage = locale.primaryLanguage;
    m_subLanguage = locale.subLanguage;
  }
  m_languageFilePath = m_baseDirectory + kLanguageFolder + name + kLanguageExtension;

  // The profile reader hands a UTF-16 file's texts over in the system code
  // page; the other files' bytes are the file's own.
  UINT textCodePage = CP_ACP;
  if (m_encoding == LanguageFileEncoding::Utf8) textCodePage = CP_UTF8;
  if (m_encoding == LanguageFileEncoding::Ansi)
    textCodePage = str::AnsiCodePageOf(MAKELCID(LanguageId(), SORT_DEFAULT));
  ReadTexts(textCodePage);
  ApplyLocale(locale.runtimeLocale);
  if (m_encoding == LanguageFileEncoding::Utf8) ConvertUtf8Texts();
  LoadInterfaceFont();
  return true;
}

void LanguageManager::ReadTexts(UINT codePage) {
  for (size_t i = 0; i < kTextKeyTableSize; ++i) {
    const TextKey& row = kTextKeyTable[i];
    const char* section = SectionOfKey(row.key);
    if (!section) continue;
    TextEntry entry{row.id, UnescapeText(ReadLanguageValue(section, row.key), codePage)};
    if (strcmp(section, language_sections::kMenu) == 0)
      m_menuTexts.push_back(std::move(entry));
    else if (strcmp(section, language_sections::kDialog) == 0)
      m_dialogTexts.push_back(std::move(entry));
    else
      m_stringTexts.push_back(std::move(entry));
  }
}

void LanguageManager::ConvertUtf8Texts() {
  for (std::vector<TextEntry>* list : {&m_menuTexts, &m_dialogTexts, &m_stringTexts}) {
    for (TextEntry& entry : *list) entry.text = FromUtf8(entry.text);
  }
}

// The runtime library's locale follows the language, except that numbers are
// always written the English way.
void LanguageManager::ApplyLocale(const std::string& runtimeLocale) {
  setlocale(LC_ALL, runtimeLocale.c_str());
  SetThreadLocale(MAKELCID(LanguageId(), SORT_DEFAULT));
  if (!setlocale(LC_NUMERIC, "English")) setlocale(LC_NUMERIC, "C");
}

std::string LanguageManager::ReadLanguageValue(const char* section, const char* key) const {
  if (strcmp(section, language_sections::kMenu) == 0 && strcmp(key, "IDR_MENU_LANGUAGE_POPUP") == 0)
    return "PopupMenu1";
  char value[kValueBufferSize] = {};
  GetPrivateProfileStringA(section, key, "", value, sizeof value, m_languageFilePath.c_str());
  return value;
}

LANGID LanguageManager::LanguageId() const { return MAKELANGID(m_primaryLanguage, m_subLanguage); }

bool LanguageManager::LoadInterfaceFont() {
  return m_interfaceFont.Load(m_profile, m_currentLanguage);
}

bool LanguageManager::SaveInterfaceFont(HFONT font) {
  return InterfaceFont::Save(m_profile, m_currentLanguage, font);
}

bool LanguageManager::ReplaceInterfaceFont(const LOGFONTA& font) {
  return m_interfaceFont.Replace(font) && SaveInterfaceFont(m_interfaceFont.Handle());
}
