#include "app/ConverterApp.h"

#include <commctrl.h>

#include "app/MainDialog.h"
#include "platform/Path.h"
#include "platform/Prompts.h"

namespace {

constexpr char kCompany[] = "BrimvaleStudio";

}  // namespace

ConverterApp::ConverterApp() : m_profile(kCompany, path::ModuleBaseName()) {}

int ConverterApp::Run() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  SetAppTitle(m_profile.Application().c_str());

  // The stored interface language is looked up and its file loaded here;
  // until then the built-in English texts serve.

  MainDialog mainWindow(m_profile, m_languages, m_graph);
  mainWindow.Run(nullptr);
  return 0;
}
