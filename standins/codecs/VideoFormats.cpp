#include "standins/codecs/VideoFormats.h"

#include <cstdlib>

namespace {

constexpr LONG kMaxDimension = 65535;

}  // namespace

bool DescribePicture(const BITMAPINFOHEADER& header, SourcePicture& picture) {
  if (header.biSize < sizeof header || header.biPlanes != 1) return false;
  const std::optional<PixelFormat> format =
      UncompressedFormat(header.biCompression, header.biBitCount);
  if (!format) return false;
  const bool rgb = header.biCompression == BI_RGB;
  // Only RGB says top-down with a negative height.
  if (header.biWidth <= 0 || header.biHeight == 0 || (!rgb && header.biHeight < 0) ||
      header.biHeight < -kMaxDimension || header.biHeight > kMaxDimension)
    return false;
  const LONG height = std::labs(header.biHeight);
  if (SourcePictureBytes(*format, header.biWidth, height) == 0) return false;
  picture.format = *format;
  picture.width = header.biWidth;
  picture.height = height;
  picture.topDown = header.biHeight < 0;
  return true;
}

BITMAPINFOHEADER MjpegHeader(int width, int height, size_t maxFrameSize) {
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = kMjpgFourCc;
  header.biSizeImage = static_cast<DWORD>(maxFrameSize);
  return header;
}
