#include "standins/subtitles/VideoFormat.h"

#include <dvdmedia.h>
#include <uuids.h>

#include <cstring>

namespace {

// MEDIASUBTYPE_I420 is missing from some SDK headers; its GUID is the fourcc's.
constexpr GUID kSubtypeI420 = {
    0x30323449, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct Subtype {
  const GUID* guid;
  std::optional<PixelFormat> format;  // nothing: passes through untouched
};

const Subtype kSubtypes[] = {
    {&MEDIASUBTYPE_YV12, PixelFormat::kYv12},   {&kSubtypeI420, PixelFormat::kI420},
    {&MEDIASUBTYPE_IYUV, PixelFormat::kI420},   {&MEDIASUBTYPE_YUY2, PixelFormat::kYuy2},
    {&MEDIASUBTYPE_RGB24, PixelFormat::kRgb24}, {&MEDIASUBTYPE_RGB32, PixelFormat::kRgb32},
    {&MEDIASUBTYPE_AYUV, std::nullopt},         {&MEDIASUBTYPE_UYVY, std::nullopt},
    {&MEDIASUBTYPE_YVYU, std::nullopt},         {&MEDIASUBTYPE_NV12, std::nullopt},
    {&MEDIASUBTYPE_ARGB32, std::nullopt},       {&MEDIASUBTYPE_RGB565, std::nullopt},
    {&MEDIASUBTYPE_RGB555, std::nullopt},       {&MEDIASUBTYPE_RGB8, std::nullopt},
};

const Subtype* FindSubtype(const GUID& subtype) {
  for (const Subtype& known : kSubtypes)
    if (*known.guid == subtype) return &known;
  return nullptr;
}

struct Picture {
  const BITMAPINFOHEADER* header = nullptr;
  const RECT* source = nullptr;  // the part of the bitmap that is the picture; empty: all
};

Picture PictureOf(const AM_MEDIA_TYPE& mt) {
  if (!mt.pbFormat) return {};
  if (mt.formattype == FORMAT_VideoInfo && mt.cbFormat >= sizeof(VIDEOINFOHEADER)) {
    const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
    return {&info->bmiHeader, &info->rcSource};
  }
  if (mt.formattype == FORMAT_VideoInfo2 && mt.cbFormat >= sizeof(VIDEOINFOHEADER2)) {
    const auto* info = reinterpret_cast<const VIDEOINFOHEADER2*>(mt.pbFormat);
    return {&info->bmiHeader, &info->rcSource};
  }
  return {};
}

}  // namespace

bool IsUncompressedVideo(const AM_MEDIA_TYPE& mt) {
  return mt.majortype == MEDIATYPE_Video && FindSubtype(mt.subtype) && PictureOf(mt).header;
}

std::optional<PictureLayout> DrawableLayout(const AM_MEDIA_TYPE& mt) {
  const Subtype* subtype = mt.majortype == MEDIATYPE_Video ? FindSubtype(mt.subtype) : nullptr;
  const Picture picture = PictureOf(mt);
  if (!subtype || !subtype->format || !picture.header) return std::nullopt;
  const RECT& source = *picture.source;
  const int strideWidth = picture.header->biWidth;
  const int width = source.right > source.left && source.left == 0 ? source.right : strideWidth;
  return DeclaredLayout(*subtype->format, width, picture.header->biHeight, strideWidth);
}

bool SamePictureType(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
  const Picture pa = PictureOf(a), pb = PictureOf(b);
  return a.majortype == b.majortype && a.subtype == b.subtype && a.formattype == b.formattype &&
         pa.header && pb.header && pa.header->biWidth == pb.header->biWidth &&
         pa.header->biHeight == pb.header->biHeight;
}
