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
  // The picture of sample as the codec reads it: rows packed as the type
  // declares, copied into m_packed where upstream padded them. False when no
  // layout of the picture fits the sample.
  bool ReadPicture(IMediaSample* sample, SourcePicture& picture);

  MjpegCodec m_codec;
  std::vector<uint8_t> m_frame;
  std::vector<uint8_t> m_packed;
};
