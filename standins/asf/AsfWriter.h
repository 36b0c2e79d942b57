#pragma once
// Writes an ASF file through a FileSink: the Header Object, the Data Object of
// fixed-size packets, and a Simple Index Object to the key frames of the first
// video stream. Until Finish the header carries the broadcast flag (sizes,
// counts and durations unknown), so that a file cut short still reads; Finish
// writes them and clears it.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "standins/asf/AsfHeaders.h"
#include "standins/asf/AsfPacket.h"
#include "standins/mux/ContainerWriter.h"
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
  };

  AsfWriter(FileSink& sink, std::vector<StreamInfo> streams, Options options);

  int32_t Start() override;
  int32_t Write(size_t stream, const void* data, size_t size, bool keyFrame, int64_t time) override;
  int32_t Finish() override;

 private:
  struct StreamState {
    uint8_t objectNumber = 0;
    int64_t end = 0;  // of its last sample, 100 ns units
    uint64_t bytes = 0;
  };

  int32_t WriteObject(const AsfPayload& object, const uint8_t* data, uint32_t sendTime,
                      uint64_t& firstPacket);
  int32_t FlushPacket();
  void IndexKeyFrame(uint64_t presentation, uint64_t firstPacket);
  void CompleteIndex(uint64_t playDuration);
  int32_t WriteHeader(bool finished);
  int32_t WriteDataHead(uint64_t dataEnd);
  int32_t WriteIndex();
  uint64_t PlayDuration() const;
  uint32_t MaxBitrate() const;

  FileSink& m_sink;
  std::vector<StreamInfo> m_streams;
  Options m_options;
  std::vector<StreamState> m_state;
  AsfPacket m_packet;
  size_t m_indexedStream;              // the first video stream, or m_streams.size()
  std::vector<AsfIndexEntry> m_index;  // slot i: presentation time i * indexInterval
  AsfIndexEntry m_lastKey;
  bool m_hasKey = false;
  uint64_t m_headerBytes = 0;
  uint64_t m_packets = 0;   // written
  uint32_t m_sendTime = 0;  // of the last packet begun, ms
  uint64_t m_end = 0;       // of the last whole packet or object
  bool m_started = false;
  bool m_finished = false;
  int32_t m_failure = 0;
};
