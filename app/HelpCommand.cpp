#include "app/HelpCommand.h"

namespace {

constexpr char kViewer[] = "hh.exe ";
constexpr char kTopic[] = "help.chm::/Introduction.htm";

}  // namespace

std::string HelpCommandLine(const std::string& programFolder) {
  const std::string target = programFolder + kTopic;
  if (target.find_first_of(" \t") == std::string::npos) return kViewer + target;
  return std::string(kViewer) + "\"" + target + "\"";
}
