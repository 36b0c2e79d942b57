#pragma once
// Where the planes and rows of an uncompressed picture lie in a sample. The
// media type declares one layout; a decoder may deliver another of the same
// picture (Wine's GStreamer decoders pad every plane's rows to 4 bytes), and
// the sample's length tells which. No Windows headers: built natively too.

#include <cstddef>
#include <cstdint>
#include <optional>

enum class PixelFormat { kYv12, kI420, kNv12, kYuy2, kRgb24, kRgb32 };

// The format of an uncompressed picture that a bitmap header names by its
// compression (BI_RGB is 0, else a fourcc) and bit count; nothing for others.
std::optional<PixelFormat> UncompressedFormat(uint32_t compression, uint16_t bitCount);

struct PicturePlane {
  size_t offset = 0;    // bytes from the sample's start
  size_t stride = 0;    // bytes from one row to the next
  size_t rowBytes = 0;  // bytes of picture in a row
  int rows = 0;

  bool operator==(const PicturePlane&) const = default;
};

struct PictureLayout {
  static constexpr int kMaxPlanes = 3;

  PixelFormat format = PixelFormat::kRgb32;
  int width = 0;   // pixels
  int height = 0;  // pixels
  bool bottomUp = false;  // RGB rows stored from the bottom one up
  int planeCount = 0;
  PicturePlane planes[kMaxPlanes];

  // Bytes from the sample's start to the end of the last plane's last row.
  size_t Bytes() const;
  bool operator==(const PictureLayout&) const = default;
};

// The layout a bitmap header declares for a picture of width x |bitmapHeight|
// whose rows are strideWidth pixels apart (RGB rows padded to 4 bytes, the
// chroma planes of YV12 and I420 half the luma's stride, NV12's as long as
// it); a negative bitmapHeight is top-down RGB. Nothing for sizes the format
// cannot carry (no pixels, absurd sizes, a width larger than the stride).
std::optional<PictureLayout> DeclaredLayout(PixelFormat format, int width, int bitmapHeight,
                                            int strideWidth);

// The same picture packed: rows of the picture's width, as a file stores it.
PictureLayout PackedLayout(const PictureLayout& declared);

// The layout of a sample of length bytes whose type declares declared: the
// declared one when the length is its size, else GStreamer's: every plane's
// rows padded to 4 bytes, the chroma planes after an even number of luma rows.
// Nothing when no layout of that picture has that length.
std::optional<PictureLayout> SampleLayout(const PictureLayout& declared, size_t length);

// Copies the picture between two layouts of the same format and size; source
// and target hold at least their layout's Bytes().
void CopyPicture(const PictureLayout& from, const uint8_t* source, const PictureLayout& to,
                 uint8_t* target);
