#pragma once
// The MJPEG codec as a DirectShow video compressor: uncompressed pictures in
// (RGB24, RGB32, YUY2, YV12, I420), MJPG key frames out, at the settings its
// configuration dialog kept (read again each time streaming starts).

#include <cstdint>
#include <vector>

#include "standins/codecs/CompressorFilter.h"
#include "standins/codecs/MjpegCodec.h"

class MjpegCompressor final : public CompressorFilter {
 public:
  MjpegCompressor();

  HRESULT CheckInputType(const AM_MEDIA_TYPE& mt) override;
  HRESULT GetOutputType(int n, standin::MediaType& mt) override;
  void OutputBuffers(long& bytes, long& count) override;

 protected:
  HRESULT Transform(IMediaSample* sample) override;
  void Restart() override;

 private:
  MjpegCodec m_codec;
  std::vector<uint8_t> m_frame;
};
