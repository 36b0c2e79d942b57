#pragma once
// Where the pixels of an uncompressed frame lie, for the formats the filter
// draws into. Planar and packed YUV rows are top-down; RGB rows are bottom-up
// unless the format says otherwise.

#include <cstddef>
#include <cstdint>
#include <optional>

enum class PixelFormat { kYv12, kI420, kYuy2, kRgb24, kRgb32 };

struct FrameLayout {
  PixelFormat format = PixelFormat::kRgb32;
  int width = 0;   // pixels drawn into
  int height = 0;  // pixels
  int stride = 0;  // bytes from one row of the first plane to the next
  bool bottomUp = false;

  // Bytes from the first row of the first plane to the end of the last plane.
  size_t RequiredBytes() const;
  bool operator==(const FrameLayout&) const = default;
};

// The layout a DirectShow-style format describes: strideWidth is the bitmap
// width in pixels (rows are padded to it, and RGB rows to 4 bytes),
// bitmapHeight is negative for top-down RGB. visibleWidth (0: strideWidth) may
// be smaller. Nothing for sizes the formats cannot carry (odd sizes where
// chroma is shared, zero or absurd sizes).
std::optional<FrameLayout> MakeFrameLayout(PixelFormat format, int strideWidth, int bitmapHeight,
                                           int visibleWidth);
