#include "standins/subtitles/FrameLayout.h"

#include <cstdlib>

namespace {

constexpr int kMaxSide = 16384;  // pixels

int BytesPerPixel(PixelFormat format) {
  switch (format) {
    case PixelFormat::kYuy2:
      return 2;
    case PixelFormat::kRgb24:
      return 3;
    case PixelFormat::kRgb32:
      return 4;
    default:
      return 1;  // the luma plane
  }
}

bool IsPlanar(PixelFormat format) {
  return format == PixelFormat::kYv12 || format == PixelFormat::kI420;
}

}  // namespace

size_t FrameLayout::RequiredBytes() const {
  const size_t plane = static_cast<size_t>(stride) * height;
  return IsPlanar(format) ? plane + plane / 2 : plane;
}

std::optional<FrameLayout> MakeFrameLayout(PixelFormat format, int strideWidth, int bitmapHeight,
                                           int visibleWidth) {
  const int height = std::abs(bitmapHeight);
  if (visibleWidth == 0) visibleWidth = strideWidth;
  if (strideWidth <= 0 || strideWidth > kMaxSide || height == 0 || height > kMaxSide ||
      visibleWidth <= 0 || visibleWidth > strideWidth)
    return std::nullopt;
  const bool sharedChroma = format != PixelFormat::kRgb24 && format != PixelFormat::kRgb32;
  if (sharedChroma && (strideWidth % 2 != 0 || visibleWidth % 2 != 0)) return std::nullopt;
  if (IsPlanar(format) && height % 2 != 0) return std::nullopt;
  FrameLayout layout;
  layout.format = format;
  layout.width = visibleWidth;
  layout.height = height;
  layout.stride = strideWidth * BytesPerPixel(format);
  if (!sharedChroma) {
    layout.stride = (layout.stride + 3) & ~3;
    layout.bottomUp = bitmapHeight > 0;
  }
  return layout;
}
