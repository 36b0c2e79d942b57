#pragma once
// When a sample of a stream stops playing: a video frame after the frame
// duration, audio after its bytes at the stream's byte rate.

#include <cstddef>
#include <cstdint>

struct StreamInfo;

// start and the result in 100 ns units; saturated rather than wrapped.
int64_t SampleEnd(const StreamInfo& info, int64_t start, size_t bytes);
