#include "app/SourceLine.h"

#include "platform/Path.h"
#include "platform/Str.h"

namespace {

constexpr int64_t kUnitsPerSecond = 10000000;  // 100 ns units

}  // namespace

std::string SourceLineText(const char* path, int64_t duration) {
  const int64_t totalSeconds = duration / kUnitsPerSecond;
  const int hours = static_cast<int>(totalSeconds / 3600);
  const int minutes = static_cast<int>(totalSeconds % 3600 / 60);
  const int seconds = static_cast<int>(totalSeconds % 60);
  return str::Printf("%s: %02d:%02d:%02d", path::FileNameOf(path).c_str(), hours, minutes, seconds);
}
