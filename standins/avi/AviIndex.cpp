#include "standins/avi/AviIndex.h"

#include <limits>

#include "standins/avi/RiffBytes.h"

namespace {

constexpr uint32_t kDeltaFrame = 0x80000000u;  // standard index: not a key frame
constexpr uint32_t kKeyFrameFlag = 0x10;       // idx1: AVIIF_KEYFRAME
constexpr uint8_t kIndexOfIndexes = 0x00;
constexpr uint8_t kIndexOfChunks = 0x01;
constexpr uint64_t kMax32 = std::numeric_limits<uint32_t>::max();

void AppendIndexHead(RiffBytes& out, uint16_t longsPerEntry, uint8_t type, size_t entries,
                     uint32_t dataChunkId) {
  out.U16(longsPerEntry);
  out.U16(static_cast<uint16_t>(type << 8));  // sub-type 0, then the type
  out.U32(Clamp32(entries));
  out.U32(dataChunkId);
}

}  // namespace

void StandardIndex::Reset(uint64_t baseOffset) {
  m_base = baseOffset;
  m_dataBytes = 0;
  m_entries.clear();
}

bool StandardIndex::Add(uint64_t dataOffset, uint32_t size, bool keyFrame) {
  if (dataOffset < m_base || dataOffset - m_base > kMax32 || size >= kDeltaFrame) return false;
  m_entries.push_back(
      {static_cast<uint32_t>(dataOffset - m_base), size | (keyFrame ? 0 : kDeltaFrame)});
  m_dataBytes += size;
  return true;
}

void StandardIndex::Append(RiffBytes& out, uint32_t indexId, uint32_t dataChunkId) const {
  const size_t chunk = out.Begin(indexId);
  AppendIndexHead(out, 2, kIndexOfChunks, m_entries.size(), dataChunkId);
  out.U64(m_base);
  out.U32(0);
  for (const Entry& entry : m_entries) {
    out.U32(entry.offset);
    out.U32(entry.size);
  }
  out.End(chunk);
}

void AppendSuperIndex(RiffBytes& out, uint32_t dataChunkId,
                      const std::vector<SuperIndexEntry>& entries, size_t slots) {
  const size_t chunk = out.Begin(MakeFourCc('i', 'n', 'd', 'x'));
  const size_t used = entries.size() < slots ? entries.size() : slots;
  AppendIndexHead(out, 4, kIndexOfIndexes, used, dataChunkId);
  out.Zeros(12);
  for (size_t i = 0; i < used; ++i) {
    out.U64(entries[i].offset);
    out.U32(entries[i].size);
    out.U32(entries[i].duration);
  }
  out.Zeros(16 * (slots - used));
  out.End(chunk);
}

bool LegacyIndex::Add(uint32_t chunkId, bool keyFrame, uint64_t offsetFromMovi, uint32_t size) {
  if (offsetFromMovi > kMax32) return false;
  m_entries.push_back(
      {chunkId, keyFrame ? kKeyFrameFlag : 0, static_cast<uint32_t>(offsetFromMovi), size});
  return true;
}

void LegacyIndex::Append(RiffBytes& out) const {
  const size_t chunk = out.Begin(MakeFourCc('i', 'd', 'x', '1'));
  for (const Entry& entry : m_entries) {
    out.U32(entry.chunkId);
    out.U32(entry.flags);
    out.U32(entry.offset);
    out.U32(entry.size);
  }
  out.End(chunk);
}
