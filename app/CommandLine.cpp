#include "app/CommandLine.h"

#include <windows.h>

#include <utility>

#include "i18n/Localization.h"
#include "platform/Path.h"
#include "platform/Str.h"
#include "res/resource.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Copies the backslashes at text[i...] and the quote after them, if any, as
// the runtime reads them; gives the index after what was read.
size_t ReadBackslashes(const char* text, size_t i, std::string& arg, bool& quoted) {
  size_t count = 0;
  while (text[i] == '\\') {
    ++count;
    ++i;
  }
  if (text[i] != '"') {
    arg.append(count, '\\');
    return i;
  }
  arg.append(count / 2, '\\');
  if (count % 2 == 1) {
    arg.push_back('"');
  } else if (quoted && text[i + 1] == '"') {
    arg.push_back('"');  // "" inside quotes
    ++i;
  } else {
    quoted = !quoted;
  }
  return i + 1;
}

// Reads one argument starting at text[i] (not a blank); gives the index after it.
size_t ReadArgument(const char* text, size_t i, std::string& arg) {
  bool quoted = false;
  while (text[i] && (quoted || !IsBlank(text[i]))) {
    if (text[i] == '\\' || text[i] == '"') {
      i = ReadBackslashes(text, i, arg, quoted);
    } else if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && text[i + 1]) {
      arg.append(text + i, 2);
      i += 2;
    } else {
      arg.push_back(text[i++]);
    }
  }
  return i;
}

// Double-byte characters stay whole.
std::vector<std::string> SplitArguments(const char* commandLine) {
  std::vector<std::string> args;
  const char* text = commandLine ? commandLine : "";
  size_t i = 0;
  for (;;) {
    while (IsBlank(text[i])) ++i;
    if (!text[i]) return args;
    std::string arg;
    i = ReadArgument(text, i, arg);
    args.push_back(std::move(arg));
  }
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<OutputFormat> FormatNamed(const std::string& name) {
  for (int value = 0; value < kOutputFormatCount; ++value) {
    const auto format = static_cast<OutputFormat>(value);
    if (str::EqualNoCase(name.c_str(), FormatListText(format))) return format;
  }
  return std::nullopt;
}

StartRequest Refuse(const std::string& argument) {
  StartRequest refused;
  refused.refused = true;
  refused.badArgument = argument;
  return refused;
}

// Reads the switch at args[i] and, for /format and /outdir, its value (i then
// moves on to it). False when the switch or its value cannot be used: args[i]
// is then the argument at fault.
bool ReadSwitch(const std::vector<std::string>& args, size_t& i, bool& convert,
                StartRequest& request) {
  const char* name = args[i].c_str();
  if (str::EqualNoCase(name, "/convert")) return !std::exchange(convert, true);
  if (str::EqualNoCase(name, "/exit")) return !std::exchange(request.exitWhenDone, true);
  const bool format = str::EqualNoCase(name, "/format");
  if (!format && !str::EqualNoCase(name, "/outdir")) return false;
  if (format ? request.format.has_value() : !request.outputFolder.empty()) return false;
  if (i + 1 >= args.size() || args[i + 1].rfind('/', 0) == 0) return false;  // no value
  const std::string& value = args[++i];
  if (format) {
    request.format = FormatNamed(value);
    return request.format.has_value();
  }
  request.outputFolder = path::FullPathOf(value.c_str());
  return IsFolder(request.outputFolder);
}

// The switch that only a conversion takes, or nullptr.
const char* ConversionSwitchIn(const StartRequest& request) {
  if (request.format) return "/format";
  if (!request.outputFolder.empty()) return "/outdir";
  if (request.exitWhenDone) return "/exit";
  return nullptr;
}

}  // namespace

StartRequest ParseCommandLine(const char* commandLine) {
  const std::vector<std::string> args = SplitArguments(commandLine);
  StartRequest request;
  bool convert = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i].empty()) return Refuse(args[i]);
    if (args[i][0] != '/') {
      request.videos.push_back(path::FullPathOf(args[i].c_str()));
      continue;
    }
    if (!ReadSwitch(args, i, convert, request)) return Refuse(args[i]);
  }
  if (convert) {
    if (request.videos.empty()) return Refuse("/convert");
    request.action = StartRequest::Action::Convert;
    return request;
  }
  if (const char* conversionOnly = ConversionSwitchIn(request)) return Refuse(conversionOnly);
  if (request.videos.size() > 1) return Refuse(args[1]);
  if (!request.videos.empty()) request.action = StartRequest::Action::Open;
  return request;
}

std::string UsageMessage(const std::string& badArgument) {
  // Joined, never formatted: the argument and the language's texts may hold a percent sign.
  return GetLocalizedString(IDS_MESSAGE_BAD_ARGUMENT) + " \"" + badArgument + "\"\n\n" +
         GetLocalizedString(IDS_MESSAGE_COMMAND_LINE_USAGE);
}
