#pragma once
// The command line that opens the program's help file at its introduction.

#include <string>

// programFolder ends in a backslash. The viewer takes its argument up to the
// first blank unless it is quoted: a folder with blanks is quoted.
std::string HelpCommandLine(const std::string& programFolder);
