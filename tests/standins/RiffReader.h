#pragma once
// Reads a RIFF file back into its chunk tree, as a decoder walks it, so that
// tests check what lies on disk rather than what the writer meant.

#include <cstdint>
#include <string>
#include <vector>

struct RiffChunk {
  std::string id;       // "RIFF", "LIST", "00dc", ...
  std::string type;     // of a RIFF or LIST
  uint64_t offset = 0;  // of the header
  uint32_t size = 0;    // as stored
  std::vector<RiffChunk> children;

  uint64_t DataOffset() const { return offset + (type.empty() ? 8 : 12); }
  // The first child with this id (or, for "LIST", this list type).
  const RiffChunk* Find(const std::string& idOrListType) const;
};

class RiffReader {
 public:
  explicit RiffReader(const std::vector<uint8_t>& bytes);

  // The top-level RIFFs; empty when a size runs past the end or a chunk is cut.
  const std::vector<RiffChunk>& Riffs() const { return m_riffs; }
  bool Whole() const { return m_whole; }

  uint16_t U16(uint64_t at) const;
  uint32_t U32(uint64_t at) const;
  uint64_t U64(uint64_t at) const;
  std::string FourCc(uint64_t at) const;

 private:
  bool ReadChildren(RiffChunk& parent, uint64_t begin, uint64_t end);

  const std::vector<uint8_t>& m_bytes;
  std::vector<RiffChunk> m_riffs;
  bool m_whole = true;
};
