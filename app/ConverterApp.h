#pragma once
// The application object: start-up, the modal main window, and the end.

#include "engine/GraphHandles.h"
#include "i18n/LanguageManager.h"
#include "platform/AppProfile.h"

class ConverterApp {
 public:
  // The registry root is Software\BrimvaleStudio\<the executable's name>.
  ConverterApp();

  // Runs the whole program; gives the process's exit code.
  int Run();

  const AppProfile& Profile() const { return m_profile; }

 private:
  AppProfile m_profile;
  LanguageManager m_languages;
  GraphHandles m_graph;
};
