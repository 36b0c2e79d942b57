#pragma once
// Tests look at and set the main window's private state through this friend.

#include <string>

#include "app/MainDialog.h"

struct MainDialogProbe {
  static int& Converting(MainDialog& d) { return d.m_converting; }
  static OSVERSIONINFOA& Version(MainDialog& d) { return d.m_osVersion; }
  static std::string& SourcePath(MainDialog& d) { return d.m_sourcePath; }
  static int64_t& SourceDuration(MainDialog& d) { return d.m_sourceDuration; }
  static int SourceReady(MainDialog& d) { return d.m_sourceReady; }
  static SourceInfo& Source(MainDialog& d) { return d.m_source; }
  static ConversionSettings& Settings(MainDialog& d) { return d.m_settings; }
  static TaskbarButton& Taskbar(MainDialog& d) { return d.m_taskbar; }
  static std::string MyVideoDefault(MainDialog& d, const char* builtIn, int folder) {
    return d.MyVideoDefault("Settings", "OutputName", builtIn, folder);
  }
};
