#pragma once
// When a sample of a stream stops playing: a video frame after the frame
// duration (25 frames a second where the stream does not say), audio after
// its bytes at the stream's byte rate.

#include <cstddef>
#include <cstdint>

struct StreamInfo;

constexpr int64_t kFallbackFrameDuration = 400000;  // 100 ns units: 25 frames per second

// The stream's frame duration in 100 ns units, or the fallback.
int64_t FrameDuration(const StreamInfo& info);

// start and the result in 100 ns units; saturated rather than wrapped.
int64_t SampleEnd(const StreamInfo& info, int64_t start, size_t bytes);
// time + by, saturated: upstream's times are not to be trusted with overflow.
int64_t TimePlus(int64_t time, int64_t by);
