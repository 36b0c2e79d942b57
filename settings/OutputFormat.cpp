#include "settings/OutputFormat.h"

#include <commdlg.h>

#include <cstring>

#include "i18n/Localization.h"
#include "platform/Path.h"
#include "platform/Prompts.h"
#include "platform/Str.h"
#include "res/resource.h"

namespace {

struct FormatInfo {
  const char* listText;
  const char* extension;
  const char* filterDescription;
  const char* filterPattern;
};

// The descriptions are the program's own, spacing included.
constexpr FormatInfo kFormats[kOutputFormatCount] = {
    {"AVI", ".avi", "Audio Video Interleave file(*.avi)", "*.avi"},
    {"WMV", ".wmv", "Windows Media Video file (*.wmv)", "*.wmv"},
    {"MKV", ".mkv", "Matroska video file(*.mkv)", "*.mkv"},
    {"ASF", ".asf", "Advanced Systems Format file(*.asf)", "*.asf"},
};

constexpr char kUnsupportedFormat[] = "Does not support the video format";

const FormatInfo* Find(OutputFormat format) {
  return IsKnownFormat(format) ? &kFormats[static_cast<int>(format)] : nullptr;
}

}  // namespace

const char kPathTooLong[] = "The file name is too long. A path can hold at most 259 characters.";

bool IsKnownFormat(OutputFormat format) {
  int value = static_cast<int>(format);
  return value >= 0 && value < kOutputFormatCount;
}

const char* FormatListText(OutputFormat format) {
  const FormatInfo* info = Find(format);
  return info ? info->listText : nullptr;
}

std::string FormatFilter(OutputFormat format) {
  const FormatInfo* info = Find(format);
  if (!info) return std::string(2, '\0');
  std::string filter = info->filterDescription;
  filter.push_back('\0');
  filter += info->filterPattern;
  filter.append(2, '\0');
  return filter;
}

bool ApplyFormatExtension(OutputFormat format, const char* path, std::string& destination) {
  std::string work = path ? path : "";
  const char* start = work.c_str();
  const char* separator = path::LastSeparator(start);
  const char* nameStart = separator ? separator + 1 : start;
  const char* dot = nullptr;
  for (const char* c = nameStart; *c; c = CharNextA(c)) {
    if (*c == '.') dot = c;
  }
  if (dot) work.resize(static_cast<size_t>(dot - start));

  const FormatInfo* info = Find(format);
  if (!info) {
    ErrorBox(nullptr, kUnsupportedFormat);
    return false;
  }
  work += info->extension;
  if (work.size() >= path::kMaxPath) {
    ErrorBox(nullptr, kPathTooLong);
    return false;
  }
  destination = work;
  return true;
}

bool BrowseOutputPath(HWND owner, OutputFormat format, const char* openedWithPath,
                      std::string& field) {
  if (!IsKnownFormat(format)) ErrorBox(owner, kUnsupportedFormat);

  std::string initialFolder = ".";
  const char* slash = path::LastBackslash(openedWithPath);
  if (slash) initialFolder.assign(openedWithPath, static_cast<size_t>(slash - openedWithPath));

  std::string title = GetLocalizedString(IDS_MESSAGE_BROWSE_CAPTION);
  std::string filter = FormatFilter(format);
  char file[512] = "*.*";
  char fileTitle[512] = "";

  OPENFILENAMEA request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = filter.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = file;
  request.nMaxFile = sizeof file;
  request.lpstrFileTitle = fileTitle;
  request.nMaxFileTitle = sizeof fileTitle;
  request.lpstrInitialDir = initialFolder.c_str();
  request.lpstrTitle = title.c_str();
  request.Flags = OFN_HIDEREADONLY;
  if (!Prompts::Current().AskSaveFileName(request)) return false;

  file[sizeof file - 1] = '\0';
  return ApplyFormatExtension(format, file, field);
}
