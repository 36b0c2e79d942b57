#include "app/ProgressLine.h"

#include <algorithm>
#include <cmath>

#include "i18n/Localization.h"
#include "platform/Str.h"
#include "res/resource.h"

namespace {

constexpr int64_t kTenth = 1000000;  // 100 ns units

std::string Clock(long long seconds) {
  return str::Printf("%02lld:%02lld:%02lld", seconds / 3600, seconds % 3600 / 60, seconds % 60);
}

std::string ClockToTenths(int64_t time) {
  const long long tenths = time / kTenth;
  return Clock(tenths / 10) + str::Printf(".%lld", tenths % 10);
}

}  // namespace

int PercentDone(int64_t position, int64_t duration) {
  if (position < 0 || duration <= 0) return -1;
  if (position >= duration) return 100;
  return static_cast<int>(static_cast<double>(position) * 100 / static_cast<double>(duration));
}

std::string ProgressLine(int elapsedSeconds, int64_t position, int64_t duration) {
  std::string line = "Please wait... Used Time: " + Clock(elapsedSeconds);
  const int percent = PercentDone(position, duration);
  if (percent < 0) return line;
  line += str::Printf("   %d%%", percent);
  if (position == 0) return line;
  // The rest goes at the pace of what is done.
  const double done = static_cast<double>(std::min(position, duration));
  const double left = std::ceil(elapsedSeconds * (static_cast<double>(duration) - done) / done);
  // A first trickle can promise years; the clock stays a clock.
  constexpr double kLongestLeft = 999.0 * 3600;
  return line + "   " + Clock(static_cast<long long>(std::min(left, kLongestLeft))) + " " +
         GetLocalizedString(IDS_MESSAGE_TIME_LEFT);
}

std::string ShortOutputNote(int64_t position, int64_t startPosition, int64_t duration,
                            int64_t frameTime) {
  // A multiplexer may tell where its last sample starts, not where it ends,
  // or tell nothing (0, or where it began): what it leaves unknown is no fault.
  if (position <= 0 || position == startPosition || duration <= 0) return "";
  constexpr int64_t kNearEnough = 2500000;  // 100 ns units: a few frames and sound blocks
  constexpr int64_t kShareOfLength = 200;   // of the length: times that drift over a long file
  const int64_t slack = std::max(kNearEnough, frameTime) + duration / kShareOfLength;
  if (duration - position <= slack) return "";
  return GetLocalizedString(IDS_MESSAGE_OUTPUT_ENDS_EARLY) + "\n" + ClockToTenths(position) +
         " / " + ClockToTenths(duration);
}
