#include "standins/mux/SampleEnd.h"

#include <limits>

#include "standins/mux/StreamInfo.h"

namespace {

constexpr uint64_t k100nsPerSecond = 10000000;

}  // namespace

int64_t FrameDuration(const StreamInfo& info) {
  return info.frameDuration > 0 ? info.frameDuration : kFallbackFrameDuration;
}

int64_t SampleEnd(const StreamInfo& info, int64_t start, size_t bytes) {
  uint64_t duration = 0;
  if (info.kind == StreamInfo::Kind::kVideo) {
    duration = static_cast<uint64_t>(FrameDuration(info));
  } else if (info.bytesPerSecond > 0) {
    const uint64_t rate = info.bytesPerSecond;
    const uint64_t seconds = bytes / rate;
    duration = seconds > std::numeric_limits<uint64_t>::max() / (2 * k100nsPerSecond)
                   ? std::numeric_limits<uint64_t>::max()
                   : seconds * k100nsPerSecond + bytes % rate * k100nsPerSecond / rate;
  }
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  if (start >= 0 && duration > static_cast<uint64_t>(kMax - start)) return kMax;
  return start + static_cast<int64_t>(duration);
}

int64_t TimePlus(int64_t time, int64_t by) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  if (by > 0 && time > kMax - by) return kMax;
  if (by < 0 && time < kMin - by) return kMin;
  return time + by;
}
