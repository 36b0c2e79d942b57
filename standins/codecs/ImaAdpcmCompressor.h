#pragma once
// A DirectShow audio compressor: 16-bit PCM (mono or stereo) in, IMA ADPCM
// (WAVE_FORMAT_IMA_ADPCM) out in whole blocks. Output samples are stamped from
// the first input sample's time on, by the blocks' length; the last, partial
// block is completed with silence at the end of the stream.

#include <cstdint>
#include <memory>
#include <vector>

#include "standins/codecs/CompressorFilter.h"
#include "standins/codecs/ImaAdpcmEncoder.h"

class ImaAdpcmCompressor final : public CompressorFilter {
 public:
  ImaAdpcmCompressor();
  ~ImaAdpcmCompressor() override;

  HRESULT CheckInputType(const AM_MEDIA_TYPE& mt) override;
  HRESULT GetOutputType(int n, standin::MediaType& mt) override;
  void OutputBuffers(long& bytes, long& count) override;

 protected:
  HRESULT Transform(IMediaSample* sample) override;
  HRESULT Drain() override;
  void Restart() override;

 private:
  // Delivers the whole blocks of m_encoded, as many to a sample as fit.
  HRESULT DeliverBlocks();
  HRESULT DeliverSample(const uint8_t* blocks, size_t count);

  std::unique_ptr<ImaAdpcmEncoder> m_encoder;  // for the connected input
  std::vector<uint8_t> m_encoded;              // whole blocks not yet delivered
  bool m_started = false;                      // the first sample's time is known
  REFERENCE_TIME m_startTime = 0;              // of the first block, 100 ns units
  uint64_t m_blocksDelivered = 0;
};
