#pragma once
// The tables of baseline JPEG that ITU T.81 Annex K suggests: quantisation
// tables for luminance and chrominance and the typical Huffman tables, and the
// zig-zag order of Figure A.6.

#include <array>
#include <cstddef>
#include <cstdint>

// A Huffman table as a DHT segment carries it: how many codes of each length
// 1..16, then the symbols in order of their codes.
struct HuffmanTable {
  uint8_t counts[16];
  const uint8_t* symbols;
  size_t symbolCount;
};

struct HuffmanCode {
  uint16_t bits = 0;
  uint8_t length = 0;  // 0: the symbol has no code
};

extern const uint8_t kLumaQuantisation[64];    // natural (row-major) order
extern const uint8_t kChromaQuantisation[64];  // natural order
extern const HuffmanTable kLumaDc;
extern const HuffmanTable kLumaAc;
extern const HuffmanTable kChromaDc;
extern const HuffmanTable kChromaAc;

// The natural index of the coefficient at each zig-zag position.
const std::array<uint8_t, 64>& ZigZagOrder();

// The code of every symbol (Annex C: codes of each length count up from the
// last code of the shorter length, shifted).
std::array<HuffmanCode, 256> BuildHuffmanCodes(const HuffmanTable& huffman);
