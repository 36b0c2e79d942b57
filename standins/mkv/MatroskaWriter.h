#pragma once
// Writes a Matroska file through a FileSink: the EBML header, then one Segment
// with a SeekHead, Info (1 ms timestamps, the duration), Tracks, Clusters of
// SimpleBlocks and Cues to the video key frames. The Segment and the open
// Cluster carry "unknown" sizes while samples come, and the duration is
// brought up to date every so often (HeaderRefresh), so that a file cut short
// still reads with the length written so far; Finish writes every size, the
// duration, the Cues and the SeekHead to them.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "standins/mkv/MatroskaHeaders.h"
#include "standins/mux/ContainerWriter.h"
#include "standins/mux/HeaderRefresh.h"
#include "standins/mux/StreamInfo.h"

class FileSink;

class MatroskaWriter final : public ContainerWriter {
 public:
  // A Cluster ends at the next key frame of the cue track (the first video
  // stream; without one, at any block) once it spans or holds this much, and
  // always before its blocks' 16-bit relative times overflow.
  struct Limits {
    int64_t clusterSpan = 10000000;  // 100 ns units
    uint64_t clusterBytes = 5u << 20;
    HeaderRefresh::Limits refresh;
  };

  MatroskaWriter(FileSink& sink, std::vector<StreamInfo> streams, Limits limits);
  MatroskaWriter(FileSink& sink, std::vector<StreamInfo> streams)
      : MatroskaWriter(sink, std::move(streams), Limits{}) {}


 private:
  bool Acceptable() const override;
  int32_t WriteHead() override;
  int32_t WriteSample(size_t stream, const void* data, size_t size, bool keyFrame,
                      int64_t time) override;
  int32_t WriteEnd() override;

  bool NeedsCluster(size_t stream, bool keyFrame, int64_t timeMs) const;
  int32_t OpenCluster(int64_t timeMs);
  int32_t CloseCluster();
  int32_t WriteBlock(size_t stream, const void* data, size_t size, bool keyFrame, int64_t timeMs);
  void RecordBlock(size_t stream, size_t size, bool keyFrame, int64_t time, int64_t timeMs,
                   uint64_t at);
  int32_t WriteCues();
  int32_t WriteClosingFields();
  int32_t WriteDuration();
  int32_t PatchSize8(uint64_t field, uint64_t size);
  int32_t Append(const std::vector<uint8_t>& bytes);
  double DurationMs() const;

  FileSink& m_sink;
  std::vector<StreamInfo> m_streams;
  Limits m_limits;
  HeaderRefresh m_refresh;
  size_t m_cueTrack;            // stream index, or m_streams.size() for none
  std::vector<int64_t> m_ends;  // per stream: the end of its last block, 100 ns units
  std::vector<MatroskaCue> m_cues;
  uint64_t m_segmentData = 0;    // file offset of the Segment's data
  uint64_t m_info = 0;           // from the Segment's data
  uint64_t m_tracks = 0;         // from the Segment's data
  uint64_t m_cuesPosition = 0;   // from the Segment's data, 0 until written
  uint64_t m_duration = 0;       // file offset of Duration, a Void until it is more than 0
  uint64_t m_cluster = 0;        // file offset of the open Cluster's ID
  int64_t m_clusterTime = 0;     // ms
  bool m_clusterOpen = false;
  bool m_clusterHasCue = false;
  uint64_t m_end = 0;  // of the last whole element
};
