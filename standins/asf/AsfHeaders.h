#pragma once
// The ASF objects around the data packets: the Header Object (File Properties,
// one Stream Properties per stream, an empty Header Extension), the Data
// Object's head and the Simple Index Object.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "standins/asf/AsfBytes.h"
#include "standins/mux/StreamInfo.h"

struct AsfFileProperties {
  AsfGuid fileId;
  uint64_t fileSize = 0;      // bytes
  uint64_t creationTime = 0;  // 100 ns units since 1601-01-01
  uint64_t packets = 0;
  uint64_t playDuration = 0;  // 100 ns units, the preroll included
  uint64_t sendDuration = 0;  // 100 ns units
  uint64_t prerollMs = 0;
  bool broadcast = false;  // sizes, counts and durations not yet known
  bool seekable = false;   // a Simple Index for every video stream
  uint32_t packetBytes = 0;
  uint32_t maxBitrate = 0;  // bits per second
};

struct AsfIndexEntry {
  uint32_t packet = 0;  // where the key frame starts
  uint16_t count = 0;   // packets it spans
  bool operator==(const AsfIndexEntry&) const = default;
};

constexpr size_t kAsfDataHeadBytes = 50;
constexpr size_t kAsfMaxStreams = 127;  // 7-bit stream numbers

// False when a stream's format does not fit its Stream Properties.
bool AsfCanDescribe(const StreamInfo& info);
// Streams are numbered from 1 in order. Its size depends on the streams only.
void AppendAsfHeader(AsfBytes& out, const AsfFileProperties& file,
                     const std::vector<StreamInfo>& streams);
void AppendAsfDataHead(AsfBytes& out, const AsfGuid& fileId, uint64_t objectSize, uint64_t packets);
void AppendAsfSimpleIndex(AsfBytes& out, const AsfGuid& fileId, uint64_t interval,
                          const std::vector<AsfIndexEntry>& entries);
