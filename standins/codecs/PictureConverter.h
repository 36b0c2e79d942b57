#pragma once
// Uncompressed pictures as Video for Windows and DirectShow hand them over,
// turned into full-range YUV planes for the JPEG encoder. No Windows headers:
// built natively too.
//
// RGB rows are DIB rows: blue first, each row padded to 4 bytes, bottom row
// first unless topDown. YUY2, YV12 and I420 are studio range (Y 16-235, Cb and
// Cr 16-240, BT.601) with rows of width bytes (YUY2: 2 x width; the halved
// planes of YV12 and I420: half the width and height, rounded up).

#include <cstddef>
#include <cstdint>

#include "standins/base/PictureLayout.h"
#include "standins/codecs/YuvPicture.h"

struct SourcePicture {
  PixelFormat format = PixelFormat::kRgb24;
  int width = 0;         // pixels
  int height = 0;        // pixels, positive
  bool topDown = false;  // RGB only: the first row is the top one
  const uint8_t* data = nullptr;
  size_t size = 0;  // bytes at data
};

// The bytes a picture of that format and size takes; 0 when the format cannot
// hold that size (no pixels, or an odd YUY2 width) or the converter does not
// take it (NV12).
size_t SourcePictureBytes(PixelFormat format, int width, int height);

// Converts source into out at that sampling. False, leaving out as it was,
// when the source is smaller than SourcePictureBytes says or cannot hold its size.
bool ConvertToYuv(const SourcePicture& source, ChromaSampling sampling, YuvPicture& out);
