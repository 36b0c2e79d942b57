#include "standins/codecs/JpegEncoder.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMarker = 0xFF;
constexpr int kSoi = 0xD8, kEoi = 0xD9, kApp0 = 0xE0, kDqt = 0xDB, kSof0 = 0xC0, kDht = 0xC4,
              kSos = 0xDA;

// The worst block: an 11-bit DC code with 11 bits, then 63 AC codes of 16 bits
// with 10 bits each; every byte of it might need a stuffed zero.
constexpr size_t kMaxBytesPerBlock = 2 * ((11 + 11 + 63 * (16 + 10) + 7) / 8);
constexpr size_t kMaxHeaderBytes = 1024;

// cos((2x + 1) u pi / 16) * C(u) / 2, with C(0) = 1 / sqrt(2): one axis of the
// forward DCT of T.81 A.3.3.
const std::array<std::array<float, 8>, 8>& DctBasis() {
  static const auto basis = [] {
    std::array<std::array<float, 8>, 8> result = {};
    const double pi = std::acos(-1.0);
    for (int u = 0; u < 8; ++u)
      for (int x = 0; x < 8; ++x)
        result[u][x] = static_cast<float>((u == 0 ? std::sqrt(0.5) : 1.0) / 2 *
                                          std::cos((2 * x + 1) * u * pi / 16));
    return result;
  }();
  return basis;
}

// RFC 2435's scaling of the Annex K tables by quality.
void ScaleTable(const uint8_t* base, int quality, uint8_t* zigZag, float* reciprocals) {
  const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  const std::array<uint8_t, 64>& order = ZigZagOrder();
  for (int k = 0; k < 64; ++k) {
    const int natural = order[k];
    const int value = std::clamp((base[natural] * scale + 50) / 100, 1, 255);
    zigZag[k] = static_cast<uint8_t>(value);
    reciprocals[natural] = 1.0f / static_cast<float>(value);
  }
}

// The number of bits of |value| (T.81's SSSS category).
int Category(int value) {
  unsigned magnitude = static_cast<unsigned>(value < 0 ? -value : value);
  int bits = 0;
  for (; magnitude; magnitude >>= 1) ++bits;
  return bits;
}

void PutMarker(std::vector<uint8_t>& out, int marker) {
  out.push_back(kMarker);
  out.push_back(static_cast<uint8_t>(marker));
}

void PutU16(std::vector<uint8_t>& out, int value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

void PutHuffmanTable(std::vector<uint8_t>& out, int classAndId, const HuffmanTable& huffman) {
  out.push_back(static_cast<uint8_t>(classAndId));
  out.insert(out.end(), huffman.counts, huffman.counts + 16);
  out.insert(out.end(), huffman.symbols, huffman.symbols + huffman.symbolCount);
}

// The DCT of the 8x8 block whose top left sample is (x, y) of the plane:
// samples beyond the plane's edge repeat its last column and row. Rows first,
// then columns.
void ForwardDct(const YuvPicture& picture, int plane, int x, int y, float (&coefficients)[64]) {
  float samples[8][8];
  const int lastX = picture.PlaneWidth(plane) - 1;
  const int lastY = picture.PlaneHeight(plane) - 1;
  for (int row = 0; row < 8; ++row) {
    const uint8_t* source = picture.Row(plane, std::min(y + row, lastY));
    for (int column = 0; column < 8; ++column)
      samples[row][column] = static_cast<float>(source[std::min(x + column, lastX)]) - 128.0f;
  }
  const auto& basis = DctBasis();
  float rows[8][8];
  for (int row = 0; row < 8; ++row)
    for (int u = 0; u < 8; ++u) {
      float sum = 0;
      for (int column = 0; column < 8; ++column) sum += basis[u][column] * samples[row][column];
      rows[row][u] = sum;
    }
  for (int v = 0; v < 8; ++v)
    for (int u = 0; u < 8; ++u) {
      float sum = 0;
      for (int row = 0; row < 8; ++row) sum += basis[v][row] * rows[row][u];
      coefficients[v * 8 + u] = sum;
    }
}

}  // namespace

// Entropy-coded bits, most significant first, with a zero stuffed after every
// 0xFF byte (T.81 F.1.2.3).
class JpegEncoder::BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : m_out(out) {}

  void Put(unsigned bits, int length) {
    m_buffer = (m_buffer << length) | (bits & ((1u << length) - 1));
    m_count += length;
    while (m_count >= 8) {
      m_count -= 8;
      const uint8_t byte = static_cast<uint8_t>(m_buffer >> m_count);
      m_out.push_back(byte);
      if (byte == 0xFF) m_out.push_back(0);
    }
  }
  void Put(const HuffmanCode& code) { Put(code.bits, code.length); }
  // Pads the last byte with one bits.
  void Flush() {
    if (m_count > 0) Put(0x7F, 8 - m_count);
  }

 private:
  std::vector<uint8_t>& m_out;
  uint32_t m_buffer = 0;
  int m_count = 0;
};

JpegEncoder::JpegEncoder(int quality) : m_quality(std::clamp(quality, 1, 100)) {
  ScaleTable(kLumaQuantisation, m_quality, m_quantisation[0], m_reciprocals[0]);
  ScaleTable(kChromaQuantisation, m_quality, m_quantisation[1], m_reciprocals[1]);
  m_codes[0] = BuildHuffmanCodes(kLumaDc);
  m_codes[1] = BuildHuffmanCodes(kLumaAc);
  m_codes[2] = BuildHuffmanCodes(kChromaDc);
  m_codes[3] = BuildHuffmanCodes(kChromaAc);
}

size_t JpegEncoder::MaxEncodedSize(int width, int height, ChromaSampling sampling) {
  if (width < 1 || height < 1 || width > kMaxDimension || height > kMaxDimension) return 0;
  const size_t mcuHeight = sampling == ChromaSampling::k420 ? 16 : 8;
  const size_t blocksPerMcu = sampling == ChromaSampling::k420 ? 6 : 4;
  const size_t mcus = ((static_cast<size_t>(width) + 15) / 16) *
                      ((static_cast<size_t>(height) + mcuHeight - 1) / mcuHeight);
  return kMaxHeaderBytes + mcus * blocksPerMcu * kMaxBytesPerBlock;
}

bool JpegEncoder::Encode(const YuvPicture& picture, std::vector<uint8_t>& out) const {
  out.clear();
  const ChromaSampling sampling = picture.Sampling();
  if (MaxEncodedSize(picture.Width(), picture.Height(), sampling) == 0) return false;
  WriteHeaders(picture, out);

  BitWriter bits(out);
  int previousDc[3] = {0, 0, 0};
  const int mcuHeight = sampling == ChromaSampling::k420 ? 16 : 8;
  for (int y = 0; y < picture.Height(); y += mcuHeight) {
    for (int x = 0; x < picture.Width(); x += 16) {
      for (int row = 0; row < mcuHeight; row += 8) {
        EncodeBlock(picture, YuvPicture::kLuma, x, y + row, previousDc[0], bits);
        EncodeBlock(picture, YuvPicture::kLuma, x + 8, y + row, previousDc[0], bits);
      }
      const int chromaY = sampling == ChromaSampling::k420 ? y / 2 : y;
      EncodeBlock(picture, YuvPicture::kCb, x / 2, chromaY, previousDc[1], bits);
      EncodeBlock(picture, YuvPicture::kCr, x / 2, chromaY, previousDc[2], bits);
    }
  }
  bits.Flush();
  PutMarker(out, kEoi);
  return true;
}

void JpegEncoder::WriteHeaders(const YuvPicture& picture, std::vector<uint8_t>& out) const {
  static const uint8_t kJfif[] = {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
  PutMarker(out, kSoi);
  PutMarker(out, kApp0);
  PutU16(out, 2 + sizeof kJfif);
  out.insert(out.end(), kJfif, kJfif + sizeof kJfif);
  WriteTables(out);

  // Y sampled 2x2 (4:2:0) or 2x1 (4:2:2) against Cb and Cr at 1x1.
  const uint8_t lumaSampling = picture.Sampling() == ChromaSampling::k420 ? 0x22 : 0x21;
  PutMarker(out, kSof0);
  PutU16(out, 8 + 3 * 3);
  out.push_back(8);
  PutU16(out, picture.Height());
  PutU16(out, picture.Width());
  const uint8_t components[] = {3, 1, lumaSampling, 0, 2, 0x11, 1, 3, 0x11, 1};
  out.insert(out.end(), components, components + sizeof components);

  PutMarker(out, kSos);
  PutU16(out, 6 + 2 * 3);
  const uint8_t scan[] = {3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0};
  out.insert(out.end(), scan, scan + sizeof scan);
}

void JpegEncoder::WriteTables(std::vector<uint8_t>& out) const {
  PutMarker(out, kDqt);
  PutU16(out, 2 + 2 * 65);
  for (int table = 0; table < 2; ++table) {
    out.push_back(static_cast<uint8_t>(table));  // 8-bit precision
    out.insert(out.end(), m_quantisation[table], m_quantisation[table] + 64);
  }

  PutMarker(out, kDht);
  const HuffmanTable* huffmanTables[] = {&kLumaDc, &kLumaAc, &kChromaDc, &kChromaAc};
  int length = 2;
  for (const HuffmanTable* huffman : huffmanTables)
    length += 17 + static_cast<int>(huffman->symbolCount);
  PutU16(out, length);
  PutHuffmanTable(out, 0x00, kLumaDc);
  PutHuffmanTable(out, 0x10, kLumaAc);
  PutHuffmanTable(out, 0x01, kChromaDc);
  PutHuffmanTable(out, 0x11, kChromaAc);
}

void JpegEncoder::EncodeBlock(const YuvPicture& picture, int plane, int x, int y, int& previousDc,
                              BitWriter& bits) const {
  float coefficients[64];
  ForwardDct(picture, plane, x, y, coefficients);
  const int table = plane == YuvPicture::kLuma ? 0 : 1;
  int quantised[64];
  for (int i = 0; i < 64; ++i) {
    // Beyond these a baseline scan has no code: DC differences of 11 bits, AC values of 10.
    const int low = i == 0 ? -1024 : -1023;
    quantised[i] = std::clamp(
        static_cast<int>(std::lround(coefficients[i] * m_reciprocals[table][i])), low, 1023);
  }

  const std::array<HuffmanCode, 256>& dcCodes = m_codes[table * 2];
  const std::array<HuffmanCode, 256>& acCodes = m_codes[table * 2 + 1];
  const int difference = quantised[0] - previousDc;
  previousDc = quantised[0];
  const int dcSize = Category(difference);
  bits.Put(dcCodes[dcSize]);
  if (dcSize) bits.Put(static_cast<unsigned>(difference < 0 ? difference - 1 : difference), dcSize);

  const std::array<uint8_t, 64>& order = ZigZagOrder();
  int run = 0;
  for (int k = 1; k < 64; ++k) {
    const int value = quantised[order[k]];
    if (value == 0) {
      ++run;
      continue;
    }
    for (; run > 15; run -= 16) bits.Put(acCodes[0xF0]);  // sixteen zeros
    const int size = Category(value);
    bits.Put(acCodes[(run << 4) | size]);
    bits.Put(static_cast<unsigned>(value < 0 ? value - 1 : value), size);
    run = 0;
  }
  if (run > 0) bits.Put(acCodes[0x00]);  // end of block
}
