#pragma once
// The Matroska elements that the writer builds whole in memory: the EBML
// header, the SeekHead, Info, Tracks and Cues. Positions count from the start of
// the Segment's data, as Matroska's do.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "standins/mux/StreamInfo.h"

class EbmlBytes;

struct MatroskaCue {
  uint64_t time = 0;              // ms
  uint64_t track = 0;             // track number
  uint64_t clusterPosition = 0;   // from the Segment's data
  uint64_t relativePosition = 0;  // of the block, from the Cluster's data
};

constexpr uint64_t kMatroskaTimestampScale = 1000000;  // ns per tick: ms

void AppendEbmlHeader(EbmlBytes& out);
// A SeekHead to Info, Tracks and, when cues is not 0, Cues, followed by a Void
// where it has no Cues: the same size either way, so it can be rewritten.
void AppendSeekHead(EbmlBytes& out, uint64_t info, uint64_t tracks, uint64_t cues);
// Info with a Void where Duration goes once it is known and more than 0 (a
// Duration of 0 is not allowed); gives where that Void lies in out.
size_t AppendInfo(EbmlBytes& out);
// Duration, as many bytes as the Void AppendInfo leaves for it.
void AppendDuration(EbmlBytes& out, double durationMs);
void AppendTracks(EbmlBytes& out, const std::vector<StreamInfo>& streams);
void AppendCues(EbmlBytes& out, const std::vector<MatroskaCue>& cues);

// The codec ID of a stream: V_MS/VFW/FOURCC, A_PCM/INT/LIT or A_MS/ACM.
const char* MatroskaCodecId(const StreamInfo& info);
