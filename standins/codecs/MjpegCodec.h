#pragma once
// The MJPEG codec's work, shared by its Video for Windows driver and its
// DirectShow filter: uncompressed pictures in, one JPEG picture per frame out,
// at the settings it was given. No Windows headers: built natively too.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "standins/codecs/JpegEncoder.h"
#include "standins/codecs/MjpegSettings.h"
#include "standins/codecs/PictureConverter.h"

class MjpegCodec {
 public:
  explicit MjpegCodec(const MjpegSettings& settings = {});

  const MjpegSettings& Settings() const { return m_settings; }
  // Out-of-range values are clamped.
  void SetSettings(const MjpegSettings& settings);

  // The most bytes a frame of that size can take at any settings, so that
  // buffers sized once hold every frame.
  static size_t MaxFrameSize(int width, int height);
  // One frame into out (replacing its content); quality 1..100 for this frame
  // only, or 0 for the codec's own. False when the picture cannot be read.
  bool Compress(const SourcePicture& picture, std::vector<uint8_t>& out, int quality = 0);

 private:
  MjpegSettings m_settings;
  JpegEncoder m_encoder;
  YuvPicture m_yuv;
};
