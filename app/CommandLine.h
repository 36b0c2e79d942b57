#pragma once
// What the command line asks of the program: nothing, one video to open once
// the main window is up, or videos to convert one after another.

#include <optional>
#include <string>
#include <vector>

#include "settings/OutputFormat.h"

struct StartRequest {
  enum class Action { None, Open, Convert };
  Action action = Action::None;
  std::vector<std::string> videos;     // full paths, in the order given
  std::optional<OutputFormat> format;  // Convert: instead of the stored format
  std::string outputFolder;            // Convert: a full path; empty for beside each video
  bool exitWhenDone = false;           // Convert: close the program after the last one
  // A command line that cannot be followed: the first argument at fault, as
  // written (a switch without its value names the switch).
  bool refused = false;
  std::string badArgument;
};

// commandLine holds the arguments after the program's name, split as the C
// runtime splits them: blanks separate; double quotes group, and "" inside
// quotes is a quote; 2n backslashes before a quote give n and the quote
// groups, 2n+1 give n and a literal quote; other backslashes stay. Switches
// are matched without regard to case; relative paths are made full against
// the current folder; the output folder must exist.
StartRequest ParseCommandLine(const char* commandLine);

// The message that refuses badArgument and shows the usage, in the current language.
std::string UsageMessage(const std::string& badArgument);
