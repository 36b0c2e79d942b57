#include "app/ConverterApp.h"

#include <commctrl.h>

#include <string>

#include "app/MainDialog.h"
#include "platform/Path.h"
#include "platform/Prompts.h"

namespace {

constexpr char kCompany[] = "BrimvaleStudio";

}  // namespace

ConverterApp::ConverterApp()
    : m_profile(kCompany, path::ModuleBaseName()), m_languages(m_profile) {}

int ConverterApp::Run() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  SetAppTitle(m_profile.Application().c_str());

  // The stored interface language; without language files the built-in
  // English texts serve.
  LanguageManager* previousLanguages = LanguageManager::Register(&m_languages);
  std::string language = m_profile.GetString("Option", "CurrentLanguage", "english");
  m_languages.Initialize(LanguageManager::ResolveLanguageRoot(), language);

  MainDialog mainWindow(m_profile, m_languages, m_graph);
  mainWindow.Run(nullptr);
  LanguageManager::Register(previousLanguages);
  return 0;
}
