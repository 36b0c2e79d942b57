#pragma once
// The three AVI indexes and their sizes in bytes. Offsets are 64-bit until they
// are stored; an entry that cannot be stored in its 32-bit field is refused.

#include <cstddef>
#include <cstdint>
#include <vector>

class RiffBytes;

// One stream's chunks within one RIFF ("ixnn", OpenDML): data offsets relative
// to a base offset, sizes with the high bit set for a delta frame.
class StandardIndex {
 public:
  void Reset(uint64_t baseOffset);
  // dataOffset is the file offset of the chunk's data (past its header).
  bool Add(uint64_t dataOffset, uint32_t size, bool keyFrame);
  size_t Count() const { return m_entries.size(); }
  uint64_t DataBytes() const { return m_dataBytes; }
  void Append(RiffBytes& out, uint32_t indexId, uint32_t dataChunkId) const;

  // The whole chunk with its header for a number of entries.
  static uint64_t ChunkBytes(uint64_t entries) { return 8 + 24 + 8 * entries; }

 private:
  struct Entry {
    uint32_t offset;
    uint32_t size;  // high bit: delta frame
  };
  uint64_t m_base = 0;
  uint64_t m_dataBytes = 0;
  std::vector<Entry> m_entries;
};

// Where one standard index lies and how many stream ticks it covers.
struct SuperIndexEntry {
  uint64_t offset;    // of the "ixnn" chunk header
  uint32_t size;      // of that chunk, header included
  uint32_t duration;  // stream ticks: frames, or audio blocks
};

// "indx" in the stream's header list, with room for a fixed number of entries.
void AppendSuperIndex(RiffBytes& out, uint32_t dataChunkId,
                      const std::vector<SuperIndexEntry>& entries, size_t slots);
constexpr uint64_t SuperIndexChunkBytes(uint64_t slots) { return 8 + 24 + 16 * slots; }

// "idx1" of the first RIFF: offsets relative to the "movi" list type.
class LegacyIndex {
 public:
  bool Add(uint32_t chunkId, bool keyFrame, uint64_t offsetFromMovi, uint32_t size);
  size_t Count() const { return m_entries.size(); }
  void Append(RiffBytes& out) const;
  static uint64_t ChunkBytes(uint64_t entries) { return 8 + 16 * entries; }

 private:
  struct Entry {
    uint32_t chunkId;
    uint32_t flags;
    uint32_t offset;
    uint32_t size;
  };
  std::vector<Entry> m_entries;
};
