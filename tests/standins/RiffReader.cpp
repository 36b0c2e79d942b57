#include "standins/RiffReader.h"

const RiffChunk* RiffChunk::Find(const std::string& idOrListType) const {
  for (const RiffChunk& child : children)
    if (child.id == idOrListType || (child.id == "LIST" && child.type == idOrListType))
      return &child;
  return nullptr;
}

RiffReader::RiffReader(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {
  RiffChunk top;
  m_whole = ReadChildren(top, 0, bytes.size());
  for (RiffChunk& riff : top.children) {
    if (riff.id != "RIFF") m_whole = false;
    m_riffs.push_back(std::move(riff));
  }
  if (!m_whole) m_riffs.clear();
}

bool RiffReader::ReadChildren(RiffChunk& parent, uint64_t begin, uint64_t end) {
  uint64_t at = begin;
  while (at + 8 <= end) {
    RiffChunk chunk;
    chunk.id = FourCc(at);
    chunk.size = U32(at + 4);
    chunk.offset = at;
    const uint64_t next = at + 8 + chunk.size + (chunk.size & 1);
    if (at + 8 + chunk.size > end) return false;
    if (chunk.id == "RIFF" || chunk.id == "LIST") {
      if (chunk.size < 4) return false;
      chunk.type = FourCc(at + 8);
      if (!ReadChildren(chunk, at + 12, at + 8 + chunk.size)) return false;
    }
    parent.children.push_back(std::move(chunk));
    at = next;
  }
  return at >= end;
}

uint16_t RiffReader::U16(uint64_t at) const {
  return static_cast<uint16_t>(m_bytes[at] | m_bytes[at + 1] << 8);
}

uint32_t RiffReader::U32(uint64_t at) const {
  return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16;
}

uint64_t RiffReader::U64(uint64_t at) const {
  return U32(at) | static_cast<uint64_t>(U32(at + 4)) << 32;
}

std::string RiffReader::FourCc(uint64_t at) const {
  return std::string(reinterpret_cast<const char*>(&m_bytes[at]), 4);
}
