#include "app/ConverterApp.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "app/CommandLine.h"
#include "app/MainDialog.h"
#include "platform/Path.h"
#include "platform/Prompts.h"

namespace {

constexpr char kCompany[] = "BrimvaleStudio";

}  // namespace

ConverterApp::ConverterApp()
    : m_profile(kCompany, path::ModuleBaseName()), m_languages(m_profile) {}

int ConverterApp::Run(const char* arguments) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  SetAppTitle(m_profile.Application().c_str());

  // The stored interface language; without language files the built-in
  // English texts serve.
  LanguageManager* previousLanguages = LanguageManager::Register(&m_languages);
  std::string language = m_profile.GetString("Option", "CurrentLanguage", "english");
  m_languages.Initialize(LanguageManager::ResolveLanguageRoot(), language);

  // A command line that cannot be followed changes nothing: the usage, and the end.
  StartRequest request = ParseCommandLine(arguments);
  if (request.refused) {
    Prompts::Current().ShowMessage(nullptr, UsageMessage(request.badArgument).c_str(), AppTitle(),
                                   MB_OK | MB_ICONERROR);
    LanguageManager::Register(previousLanguages);
    return kRefusedCommandLine;
  }

  MainDialog mainWindow(m_profile, m_languages, m_graph);
  mainWindow.SetStartRequest(std::move(request));
  mainWindow.Run(nullptr);
  LanguageManager::Register(previousLanguages);
  return mainWindow.ExitCode();
}
