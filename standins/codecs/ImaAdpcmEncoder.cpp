#include "standins/codecs/ImaAdpcmEncoder.h"

#include <algorithm>

namespace {

constexpr int kStepSizes[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767,
};
constexpr int kIndexSteps[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

constexpr int kHeaderBytesPerChannel = 4;
constexpr int kBytesPerGroup = 4;  // 8 samples of one channel

}  // namespace

bool ChooseImaAdpcmFormat(int sampleRate, int channels, ImaAdpcmFormat& format) {
  if (channels < 1 || channels > 2 || sampleRate < 1 || sampleRate > 384000) return false;
  format.channels = channels;
  format.sampleRate = sampleRate;
  format.blockAlign = 256 * channels * std::max(1, sampleRate / 11025);
  // Every byte after the headers holds two samples; the header holds one.
  format.samplesPerBlock =
      (format.blockAlign - kHeaderBytesPerChannel * channels) * 2 / channels + 1;
  const int64_t bytes = int64_t{sampleRate} * format.blockAlign;
  format.bytesPerSecond =
      static_cast<int>((bytes + format.samplesPerBlock - 1) / format.samplesPerBlock);
  return true;
}

ImaAdpcmEncoder::ImaAdpcmEncoder(const ImaAdpcmFormat& format)
    : m_format(format),
      m_pending(static_cast<size_t>(format.samplesPerBlock) *
                static_cast<size_t>(format.channels)) {}

void ImaAdpcmEncoder::Push(const uint8_t* pcm, size_t size, std::vector<uint8_t>& out) {
  for (size_t i = 0; i < size; ++i) {
    if (!m_hasLowByte) {
      m_lowByte = pcm[i];
      m_hasLowByte = true;
      continue;
    }
    m_hasLowByte = false;
    m_pending[m_filled++] = static_cast<int16_t>(m_lowByte | pcm[i] << 8);
    if (m_filled == m_pending.size()) EncodeBlock(out);
  }
}

void ImaAdpcmEncoder::Finish(std::vector<uint8_t>& out) {
  m_hasLowByte = false;
  if (m_filled == 0) return;
  std::fill(m_pending.begin() + static_cast<std::ptrdiff_t>(m_filled), m_pending.end(), 0);
  EncodeBlock(out);
}

void ImaAdpcmEncoder::Reset() {
  m_filled = 0;
  m_hasLowByte = false;
  std::fill(std::begin(m_predicted), std::end(m_predicted), 0);
  std::fill(std::begin(m_stepIndex), std::end(m_stepIndex), 0);
}

// The header carries each channel's first sample exactly; the step index goes
// on from the previous block.
void ImaAdpcmEncoder::EncodeBlock(std::vector<uint8_t>& out) {
  const int channels = m_format.channels;
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(m_format.blockAlign));
  uint8_t* block = &out[start];
  for (int c = 0; c < channels; ++c) {
    m_predicted[c] = m_pending[static_cast<size_t>(c)];
    block[4 * c] = static_cast<uint8_t>(m_predicted[c]);
    block[4 * c + 1] = static_cast<uint8_t>(m_predicted[c] >> 8);
    block[4 * c + 2] = static_cast<uint8_t>(m_stepIndex[c]);
    block[4 * c + 3] = 0;
  }
  uint8_t* data = block + kHeaderBytesPerChannel * channels;
  const int groups = (m_format.samplesPerBlock - 1) / 8;
  for (int group = 0; group < groups; ++group) {
    for (int c = 0; c < channels; ++c, data += kBytesPerGroup) {
      for (int i = 0; i < 8; ++i) {
        const size_t frame = 1 + static_cast<size_t>(group) * 8 + static_cast<size_t>(i);
        const uint8_t code = EncodeSample(c, m_pending[frame * channels + c]);
        data[i / 2] = static_cast<uint8_t>(i % 2 ? data[i / 2] | code << 4 : code);
      }
    }
  }
  m_filled = 0;
}

// The IMA's quantiser: the difference from the prediction in steps of a
// half, a quarter and an eighth of the step size; the prediction then moves as
// the decoder's will.
uint8_t ImaAdpcmEncoder::EncodeSample(int channel, int sample) {
  const int step = kStepSizes[m_stepIndex[channel]];
  int difference = sample - m_predicted[channel];
  uint8_t code = 0;
  if (difference < 0) {
    code = 8;
    difference = -difference;
  }
  if (difference >= step) {
    code |= 4;
    difference -= step;
  }
  if (difference >= step / 2) {
    code |= 2;
    difference -= step / 2;
  }
  if (difference >= step / 4) code |= 1;

  int change = step / 8;
  if (code & 4) change += step;
  if (code & 2) change += step / 2;
  if (code & 1) change += step / 4;
  m_predicted[channel] =
      std::clamp(m_predicted[channel] + (code & 8 ? -change : change), -32768, 32767);
  m_stepIndex[channel] = std::clamp(m_stepIndex[channel] + kIndexSteps[code & 7], 0, 88);
  return code;
}
