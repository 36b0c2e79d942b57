#include "standins/codecs/PictureConverter.h"

#include <algorithm>
#include <array>

namespace {

constexpr size_t kMaxDimension = 65535;

size_t Halved(int pixels) { return (static_cast<size_t>(pixels) + 1) / 2; }

size_t RgbStride(PixelFormat format, int width) {
  const size_t bytesPerPixel = format == PixelFormat::kRgb24 ? 3 : 4;
  return (static_cast<size_t>(width) * bytesPerPixel + 3) & ~size_t{3};
}

// JFIF's full-range BT.601 conversion, in 16.16 fixed point.
constexpr int kFix = 16;
constexpr int Fixed(double value) { return static_cast<int>(value * (1 << kFix) + 0.5); }

uint8_t ToByte(int64_t fixedValue) {
  const int64_t rounded = (fixedValue + (1 << (kFix - 1))) / (1 << kFix);
  return static_cast<uint8_t>(std::clamp<int64_t>(fixedValue < 0 ? 0 : rounded, 0, 255));
}

uint8_t Luma(int r, int g, int b) {
  return ToByte(Fixed(0.299) * r + Fixed(0.587) * g + Fixed(0.114) * b);
}

// From sums of count pixels' components.
void Chroma(int r, int g, int b, int count, uint8_t& cb, uint8_t& cr) {
  const int offset = 128 * count * (1 << kFix);
  cb = ToByte((-Fixed(0.168736) * r - Fixed(0.331264) * g + Fixed(0.5) * b + offset) / count);
  cr = ToByte((Fixed(0.5) * r - Fixed(0.418688) * g - Fixed(0.081312) * b + offset) / count);
}

// Studio range to full range.
struct RangeTables {
  std::array<uint8_t, 256> luma;
  std::array<uint8_t, 256> chroma;
};

const RangeTables& Range() {
  static const RangeTables tables = [] {
    RangeTables result = {};
    for (int i = 0; i < 256; ++i) {
      result.luma[i] = ToByte(int64_t{i - 16} * 255 * (1 << kFix) / 219);
      result.chroma[i] = ToByte(int64_t{i - 128} * 255 * (1 << kFix) / 224 + (128 << kFix));
    }
    return result;
  }();
  return tables;
}

void ConvertRgb(const SourcePicture& source, YuvPicture& out) {
  const size_t bytesPerPixel = source.format == PixelFormat::kRgb24 ? 3 : 4;
  const size_t stride = RgbStride(source.format, source.width);
  auto row = [&](int y) {
    const int stored = source.topDown ? y : source.height - 1 - y;
    return source.data + static_cast<size_t>(stored) * stride;
  };
  for (int y = 0; y < source.height; ++y) {
    const uint8_t* pixel = row(y);
    uint8_t* luma = out.Row(YuvPicture::kLuma, y);
    for (int x = 0; x < source.width; ++x, pixel += bytesPerPixel)
      luma[x] = Luma(pixel[2], pixel[1], pixel[0]);
  }
  // Each chroma sample from the 2 x 1 or 2 x 2 pixels it covers.
  const int rowsPerSample = out.Sampling() == ChromaSampling::k420 ? 2 : 1;
  for (int cy = 0; cy < out.PlaneHeight(YuvPicture::kCb); ++cy) {
    uint8_t* cb = out.Row(YuvPicture::kCb, cy);
    uint8_t* cr = out.Row(YuvPicture::kCr, cy);
    for (int cx = 0; cx < out.PlaneWidth(YuvPicture::kCb); ++cx) {
      int r = 0, g = 0, b = 0, count = 0;
      for (int y = cy * rowsPerSample; y < std::min((cy + 1) * rowsPerSample, source.height); ++y)
        for (int x = cx * 2; x < std::min(cx * 2 + 2, source.width); ++x, ++count) {
          const uint8_t* pixel = row(y) + static_cast<size_t>(x) * bytesPerPixel;
          r += pixel[2];
          g += pixel[1];
          b += pixel[0];
        }
      Chroma(r, g, b, count, cb[cx], cr[cx]);
    }
  }
}

void ConvertYuy2(const SourcePicture& source, YuvPicture& out) {
  const RangeTables& range = Range();
  const size_t stride = static_cast<size_t>(source.width) * 2;
  for (int y = 0; y < source.height; ++y) {
    const uint8_t* packed = source.data + static_cast<size_t>(y) * stride;
    uint8_t* luma = out.Row(YuvPicture::kLuma, y);
    for (int x = 0; x < source.width; ++x) luma[x] = range.luma[packed[2 * x]];
  }
  // Y0 Cb Y1 Cr: 4:2:0 averages each pair of rows.
  const int rowsPerSample = out.Sampling() == ChromaSampling::k420 ? 2 : 1;
  for (int cy = 0; cy < out.PlaneHeight(YuvPicture::kCb); ++cy) {
    const uint8_t* first = source.data + static_cast<size_t>(cy * rowsPerSample) * stride;
    const bool pair = rowsPerSample == 2 && cy * 2 + 1 < source.height;
    const uint8_t* second = pair ? first + stride : first;
    uint8_t* cb = out.Row(YuvPicture::kCb, cy);
    uint8_t* cr = out.Row(YuvPicture::kCr, cy);
    for (int cx = 0; cx < source.width / 2; ++cx) {
      cb[cx] = range.chroma[(first[4 * cx + 1] + second[4 * cx + 1] + 1) / 2];
      cr[cx] = range.chroma[(first[4 * cx + 3] + second[4 * cx + 3] + 1) / 2];
    }
  }
}

// YV12 holds Cr before Cb, I420 Cb before Cr; 4:2:2 repeats each chroma row.
void ConvertPlanar(const SourcePicture& source, YuvPicture& out) {
  const RangeTables& range = Range();
  const size_t lumaBytes = static_cast<size_t>(source.width) * source.height;
  const size_t chromaWidth = Halved(source.width);
  const uint8_t* first = source.data + lumaBytes;
  const uint8_t* second = first + chromaWidth * Halved(source.height);
  const uint8_t* cbPlane = source.format == PixelFormat::kI420 ? first : second;
  const uint8_t* crPlane = source.format == PixelFormat::kI420 ? second : first;
  for (int y = 0; y < source.height; ++y) {
    const uint8_t* luma = source.data + static_cast<size_t>(y) * source.width;
    std::transform(luma, luma + source.width, out.Row(YuvPicture::kLuma, y),
                   [&](uint8_t v) { return range.luma[v]; });
  }
  const int rowsPerSample = out.Sampling() == ChromaSampling::k420 ? 1 : 2;
  for (int cy = 0; cy < out.PlaneHeight(YuvPicture::kCb); ++cy) {
    const size_t offset = static_cast<size_t>(cy / rowsPerSample) * chromaWidth;
    auto map = [&](uint8_t v) { return range.chroma[v]; };
    std::transform(cbPlane + offset, cbPlane + offset + chromaWidth, out.Row(YuvPicture::kCb, cy),
                   map);
    std::transform(crPlane + offset, crPlane + offset + chromaWidth, out.Row(YuvPicture::kCr, cy),
                   map);
  }
}

}  // namespace

size_t SourcePictureBytes(PixelFormat format, int width, int height) {
  if (width < 1 || height < 1 || static_cast<size_t>(width) > kMaxDimension ||
      static_cast<size_t>(height) > kMaxDimension)
    return 0;
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  switch (format) {
    case PixelFormat::kRgb24:
    case PixelFormat::kRgb32:
      return RgbStride(format, width) * static_cast<size_t>(height);
    case PixelFormat::kYuy2:
      return width % 2 ? 0 : pixels * 2;
    case PixelFormat::kYv12:
    case PixelFormat::kI420:
      return pixels + 2 * Halved(width) * Halved(height);
    case PixelFormat::kNv12:
      return 0;
  }
  return 0;
}

bool ConvertToYuv(const SourcePicture& source, ChromaSampling sampling, YuvPicture& out) {
  const size_t needed = SourcePictureBytes(source.format, source.width, source.height);
  if (needed == 0 || !source.data || source.size < needed) return false;
  out.Resize(source.width, source.height, sampling);
  switch (source.format) {
    case PixelFormat::kRgb24:
    case PixelFormat::kRgb32:
      ConvertRgb(source, out);
      break;
    case PixelFormat::kYuy2:
      ConvertYuy2(source, out);
      break;
    case PixelFormat::kYv12:
    case PixelFormat::kI420:
      ConvertPlanar(source, out);
      break;
    case PixelFormat::kNv12:
      break;
  }
  return true;
}
