#pragma once
// Writes an ASF file through a FileSink: the Header Object, the Data Object of
// fixed-size packets, and one Simple Index Object per video stream, in stream
// order, to its key frames. Every stream plays from the file's 0 where it can
// (LeadFromZero). Until the first refresh the header carries the
// broadcast flag (sizes, counts and durations unknown). Every so often
// (HeaderRefresh) the packet being filled is written as it stands and the
// Data Object and the File Properties count every packet so far, so that a
// file cut off by a crash reads with the length written so far. Finish writes
// the indexes and the final counts; the file is seekable only when every
// video stream's index was written and names a key frame.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "standins/asf/AsfHeaders.h"
#include "standins/asf/AsfPacket.h"
#include "standins/mux/ContainerWriter.h"
#include "standins/mux/HeaderRefresh.h"
#include "standins/mux/StreamInfo.h"

class FileSink;

class AsfWriter final : public ContainerWriter {
 public:
  struct Options {
    AsfGuid fileId;
    uint64_t creationTime = 0;  // 100 ns units since 1601-01-01
    uint32_t packetBytes = 8192;
    uint32_t prerollMs = 3000;          // what a player buffers before it starts
    uint64_t indexInterval = 10000000;  // 100 ns units
    HeaderRefresh::Limits refresh;
  };

  AsfWriter(FileSink& sink, std::vector<StreamInfo> streams, Options options);


 private:
  struct StreamState {
    bool started = false;
    uint8_t objectNumber = 0;  // of its next media object
    int64_t end = 0;           // of its last sample, 100 ns units
    // Video: slot i of the Simple Index is presentation time i * indexInterval.
    std::vector<AsfIndexEntry> index;
    AsfIndexEntry lastKey;
    bool hasKey = false;
  };
  // What the header counts: bytes from the file's start, and packets.
  struct Extent {
    uint64_t end = 0;  // 0: not known
    uint64_t packets = 0;
  };

  bool Acceptable() const override;
  int32_t WriteHead() override;
  int32_t WriteSample(size_t stream, const void* data, size_t size, bool keyFrame,
                      int64_t time) override;
  int32_t WriteEnd() override;

  int32_t LeadFromZero(size_t stream, const void* data, size_t size, bool keyFrame, int64_t time);
  int32_t WriteMediaObject(size_t stream, const uint8_t* data, size_t size, bool keyFrame,
                           int64_t time);
  int32_t WriteObject(const AsfPayload& object, const uint8_t* data, uint32_t sendTime,
                      uint64_t& firstPacket);
  int32_t FlushPacket();
  void IndexKeyFrame(StreamState& state, uint64_t presentation, uint64_t firstPacket);
  void CompleteIndex(StreamState& state, uint64_t playDuration);
  void CountBitrate(int64_t time, size_t size);
  Extent Written() const;
  int32_t Refresh();
  int32_t WriteIndexes(bool& complete);
  AsfFileProperties Properties(const Extent* known) const;
  int32_t WriteHeader(const AsfFileProperties& file);
  int32_t WriteDataHead(const Extent& data);
  uint64_t PlayDuration() const;
  uint32_t MaxBitrate() const;

  FileSink& m_sink;
  std::vector<StreamInfo> m_streams;
  Options m_options;
  std::vector<StreamState> m_state;
  AsfPacket m_packet;
  HeaderRefresh m_refresh;
  std::deque<std::pair<int64_t, uint64_t>> m_window;  // the last second's samples: time, bytes
  uint64_t m_windowBytes = 0;
  uint64_t m_peakBytes = 0;  // the most in any second
  uint64_t m_headerBytes = 0;
  uint64_t m_packets = 0;   // written
  uint32_t m_sendTime = 0;  // of the last packet begun, ms
  uint64_t m_end = 0;       // of the last whole packet or object
};
