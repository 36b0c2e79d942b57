#pragma once
// The application object: start-up, the modal main window, and the end.

#include "engine/GraphHandles.h"
#include "i18n/LanguageManager.h"
#include "platform/AppProfile.h"

class ConverterApp {
 public:
  // The registry root is Software\BrimvaleStudio\<the executable's name>.
  ConverterApp();

  // Runs the whole program for the arguments that follow the program's name
  // on its command line; gives the process's exit code: the number of videos
  // a batch did not convert, or kRefusedCommandLine.
  int Run(const char* arguments = "");

  // The exit code when the command line is refused: the window never opens.
  static constexpr int kRefusedCommandLine = 160;  // ERROR_BAD_ARGUMENTS

  const AppProfile& Profile() const { return m_profile; }

 private:
  AppProfile m_profile;
  LanguageManager m_languages;
  GraphHandles m_graph;
};
