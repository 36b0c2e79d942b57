#pragma once
// IMA ADPCM (the IMA's 4-bit ADPCM as WAVE_FORMAT_IMA_ADPCM lays it out in
// blocks) from 16-bit PCM, mono or stereo. No Windows headers: built natively
// too.
//
// A block starts with a header per channel (the first sample as 16 bits, the
// step index, a zero byte), then the other samples as 4-bit codes, low nibble
// first: for stereo, 4 bytes (8 samples) of the left channel, then 4 of the
// right, and so on.

#include <cstddef>
#include <cstdint>
#include <vector>

struct ImaAdpcmFormat {
  int channels = 0;
  int sampleRate = 0;       // samples per second
  int blockAlign = 0;       // bytes per block, all channels
  int samplesPerBlock = 0;  // per channel
  int bytesPerSecond = 0;   // average, rounded up
};

// The layout for PCM of that rate and channel count: blocks of 256 bytes per
// channel up to 11025 Hz, longer in proportion above. False for other than 1
// or 2 channels or a rate outside 1..384000 Hz.
bool ChooseImaAdpcmFormat(int sampleRate, int channels, ImaAdpcmFormat& format);

class ImaAdpcmEncoder {
 public:
  explicit ImaAdpcmEncoder(const ImaAdpcmFormat& format);

  // Takes little-endian 16-bit PCM, the channels interleaved, in any pieces;
  // appends each block it completes to out.
  void Push(const uint8_t* pcm, size_t size, std::vector<uint8_t>& out);
  // Completes a started block with silence and appends it.
  void Finish(std::vector<uint8_t>& out);
  // Forgets what was pushed and starts again from the first step size.
  void Reset();

  const ImaAdpcmFormat& Format() const { return m_format; }
  // Samples per channel waiting for their block.
  size_t PendingSamples() const { return m_filled / static_cast<size_t>(m_format.channels); }

 private:
  void EncodeBlock(std::vector<uint8_t>& out);
  uint8_t EncodeSample(int channel, int sample);

  ImaAdpcmFormat m_format;
  std::vector<int16_t> m_pending;  // interleaved, one block's worth
  size_t m_filled = 0;             // samples of all channels in m_pending
  uint8_t m_lowByte = 0;           // of a sample split between two pieces
  bool m_hasLowByte = false;
  int m_predicted[2] = {0, 0};
  int m_stepIndex[2] = {0, 0};
};
