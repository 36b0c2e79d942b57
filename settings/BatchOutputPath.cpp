#include "settings/BatchOutputPath.h"

#include <windows.h>

#include "platform/Path.h"
#include "platform/Prompts.h"

namespace {

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string WithBackslash(const std::string& folder) {
  const char* last = path::LastBackslash(folder.c_str());
  const bool ends = last && last[1] == '\0';
  return ends ? folder : folder + "\\";
}

}  // namespace

bool BatchOutputPath(OutputFormat format, const char* source, const std::string& folder,
                     std::string& output) {
  const std::string place = folder.empty() ? path::FolderOf(source) : WithBackslash(folder);
  std::string named;
  if (!ApplyFormatExtension(format, (place + path::FileNameOf(source)).c_str(), named)) {
    return false;
  }
  // The extension is the format's: a dot and three letters.
  const std::string stem = named.substr(0, named.size() - 4);
  const std::string extension = named.substr(named.size() - 4);
  for (int number = 2; Exists(named); ++number) {
    named = stem + " (" + std::to_string(number) + ")" + extension;
    if (named.size() >= path::kMaxPath) {
      ErrorBox(nullptr, kPathTooLong);
      return false;
    }
  }
  output = named;
  return true;
}
