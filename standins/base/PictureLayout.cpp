#include "standins/base/PictureLayout.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMaxSide = 16384;  // pixels

size_t RoundUp4(size_t bytes) { return (bytes + 3) & ~size_t{3}; }
size_t Halved(int pixels) { return (static_cast<size_t>(pixels) + 1) / 2; }

bool IsRgb(PixelFormat format) {
  return format == PixelFormat::kRgb24 || format == PixelFormat::kRgb32;
}

// Bytes of a row of the first plane, for pixels pixels.
size_t FirstPlaneRowBytes(PixelFormat format, int pixels) {
  switch (format) {
    case PixelFormat::kYuy2:
      return Halved(pixels) * 4;  // two pixels share four bytes
    case PixelFormat::kRgb24:
      return static_cast<size_t>(pixels) * 3;
    case PixelFormat::kRgb32:
      return static_cast<size_t>(pixels) * 4;
    default:
      return static_cast<size_t>(pixels);
  }
}

void AddPlane(PictureLayout& layout, size_t stride, size_t rowBytes, int rows) {
  PicturePlane& plane = layout.planes[layout.planeCount];
  if (layout.planeCount > 0) {
    const PicturePlane& before = layout.planes[layout.planeCount - 1];
    plane.offset = before.offset + before.stride * static_cast<size_t>(before.rows);
  }
  plane.stride = stride;
  plane.rowBytes = rowBytes;
  plane.rows = rows;
  ++layout.planeCount;
}

// The planes after the first, whose stride is firstStride.
void AddChromaPlanes(PictureLayout& layout, size_t firstStride) {
  const int rows = static_cast<int>(Halved(layout.height));
  const size_t chromaPixels = Halved(layout.width);
  if (layout.format == PixelFormat::kNv12) {
    AddPlane(layout, firstStride + (firstStride & 1), chromaPixels * 2, rows);  // U and V paired
  } else if (layout.format == PixelFormat::kYv12 || layout.format == PixelFormat::kI420) {
    const size_t stride = (firstStride + 1) / 2;
    AddPlane(layout, stride, chromaPixels, rows);
    AddPlane(layout, stride, chromaPixels, rows);
  }
}

// As GStreamer lays a picture out: every plane's stride rounded up to 4 bytes,
// and the chroma planes after an even number of luma rows.
PictureLayout Padded(const PictureLayout& declared) {
  PictureLayout padded = declared;
  padded.planeCount = 0;
  for (int i = 0; i < declared.planeCount; ++i) {
    const PicturePlane& plane = declared.planes[i];
    AddPlane(padded, RoundUp4(plane.stride), plane.rowBytes, plane.rows);
  }
  const size_t oddRow = padded.height % 2 ? padded.planes[0].stride : 0;
  for (int i = 1; i < padded.planeCount; ++i) padded.planes[i].offset += oddRow;
  return padded;
}

constexpr uint32_t FourCc(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
         static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

}  // namespace

std::optional<PixelFormat> UncompressedFormat(uint32_t compression, uint16_t bitCount) {
  const struct {
    uint32_t compression;
    uint16_t bits;
    PixelFormat format;
  } kFormats[] = {
      {0, 24, PixelFormat::kRgb24},
      {0, 32, PixelFormat::kRgb32},
      {FourCc('I', '4', '2', '0'), 12, PixelFormat::kI420},
      {FourCc('I', 'Y', 'U', 'V'), 12, PixelFormat::kI420},
      {FourCc('Y', 'V', '1', '2'), 12, PixelFormat::kYv12},
      {FourCc('N', 'V', '1', '2'), 12, PixelFormat::kNv12},
      {FourCc('Y', 'U', 'Y', '2'), 16, PixelFormat::kYuy2},
  };
  for (const auto& known : kFormats)
    if (compression == known.compression && bitCount == known.bits) return known.format;
  return std::nullopt;
}

size_t PictureLayout::Bytes() const {
  if (planeCount == 0) return 0;
  const PicturePlane& last = planes[planeCount - 1];
  return last.offset + last.stride * static_cast<size_t>(last.rows);
}

std::optional<PictureLayout> DeclaredLayout(PixelFormat format, int width, int bitmapHeight,
                                            int strideWidth) {
  const int height = std::abs(bitmapHeight);
  if (width <= 0 || width > kMaxSide || strideWidth < width || strideWidth > kMaxSide ||
      height == 0 || height > kMaxSide)
    return std::nullopt;
  PictureLayout layout;
  layout.format = format;
  layout.width = width;
  layout.height = height;
  layout.bottomUp = IsRgb(format) && bitmapHeight > 0;
  size_t stride = FirstPlaneRowBytes(format, strideWidth);
  if (IsRgb(format)) stride = RoundUp4(stride);
  AddPlane(layout, stride, FirstPlaneRowBytes(format, width), height);
  AddChromaPlanes(layout, stride);
  return layout;
}

PictureLayout PackedLayout(const PictureLayout& declared) {
  return *DeclaredLayout(declared.format, declared.width,
                         declared.bottomUp ? declared.height : -declared.height, declared.width);
}

std::optional<PictureLayout> SampleLayout(const PictureLayout& declared, size_t length) {
  if (length == declared.Bytes()) return declared;
  const PictureLayout padded = Padded(declared);
  if (length == padded.Bytes()) return padded;
  return std::nullopt;
}

void CopyPicture(const PictureLayout& from, const uint8_t* source, const PictureLayout& to,
                 uint8_t* target) {
  for (int i = 0; i < std::min(from.planeCount, to.planeCount); ++i) {
    const PicturePlane& in = from.planes[i];
    const PicturePlane& out = to.planes[i];
    const size_t bytes = std::min(in.rowBytes, out.rowBytes);
    for (int row = 0; row < std::min(in.rows, out.rows); ++row)
      std::memcpy(target + out.offset + out.stride * static_cast<size_t>(row),
                  source + in.offset + in.stride * static_cast<size_t>(row), bytes);
  }
}
