// ShellQuote of support/LinuxCommand.h, shared by the Wine and the native
// sides of that header.

#include "support/LinuxCommand.h"

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}
