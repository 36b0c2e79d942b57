#pragma once
// The "hdrl" list: main header, one "strl" per stream (strh, strf, indx) and
// the OpenDML "odml" list. Its length depends only on the streams' formats and
// the number of super index slots, so the final version overwrites the first.

#include <cstdint>
#include <vector>

#include "standins/avi/AviIndex.h"
#include "standins/mux/StreamInfo.h"

class RiffBytes;

// Counts of one stream, as written so far.
struct AviStreamTotals {
  uint64_t startTicks = 0;  // when the stream starts, in its own ticks
  uint64_t chunks = 0;
  uint64_t bytes = 0;  // of chunk data
  uint64_t chunksInFirstRiff = 0;
  uint32_t largestChunk = 0;  // bytes of data
  std::vector<SuperIndexEntry> superIndex;
};

struct AviHeaderInput {
  const std::vector<StreamInfo>* streams = nullptr;
  const std::vector<AviStreamTotals>* totals = nullptr;  // one per stream
  size_t superIndexSlots = 0;
  bool hasLegacyIndex = false;
};

// Stream length in its own ticks: frames, or audio blocks.
uint64_t StreamTicks(const StreamInfo& info, uint64_t chunks, uint64_t bytes);
// The tick a time falls in (100 ns units; rounded to the nearest frame or
// block; 0 before 0; saturated).
uint64_t StreamTicksAt(const StreamInfo& info, int64_t time);
// "nndc" / "nndb" for video, "nnwb" for audio.
uint32_t AviDataChunkId(size_t stream, const StreamInfo& info);
void AppendHeaderList(RiffBytes& out, const AviHeaderInput& input);
