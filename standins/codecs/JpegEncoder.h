#pragma once
// A baseline JPEG (ITU T.81, sequential DCT, Huffman coded, JFIF) encoder of
// full-range YUV pictures: the standard tables, the quantisation scaled by a
// quality of 1 to 100. No Windows headers: built natively too.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "standins/codecs/JpegTables.h"
#include "standins/codecs/YuvPicture.h"

class JpegEncoder {
 public:
  static constexpr int kMaxDimension = 65535;  // pixels: the frame header's 16 bits

  // quality is clamped to 1..100.
  explicit JpegEncoder(int quality);

  int Quality() const { return m_quality; }
  // The quantisation table (0 luminance, 1 chrominance) in zig-zag order.
  const uint8_t* Quantisation(int table) const { return m_quantisation[table]; }

  // One JFIF picture into out (replacing its content). False for a picture
  // wider or higher than kMaxDimension or without pixels.
  bool Encode(const YuvPicture& picture, std::vector<uint8_t>& out) const;

  // The most bytes Encode can give for such a picture; 0 when it cannot be encoded.
  static size_t MaxEncodedSize(int width, int height, ChromaSampling sampling);

 private:
  class BitWriter;

  void WriteHeaders(const YuvPicture& picture, std::vector<uint8_t>& out) const;
  void WriteTables(std::vector<uint8_t>& out) const;
  void EncodeBlock(const YuvPicture& picture, int plane, int x, int y, int& previousDc,
                   BitWriter& bits) const;

  int m_quality;
  uint8_t m_quantisation[2][64];            // zig-zag order, as the DQT segment holds them
  float m_reciprocals[2][64];               // natural order: 1 / the quantiser
  std::array<HuffmanCode, 256> m_codes[4];  // DC luma, AC luma, DC chroma, AC chroma
};
