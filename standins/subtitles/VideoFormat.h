#pragma once
// The video types the subtitle filter takes: uncompressed pictures in a
// VIDEOINFOHEADER or VIDEOINFOHEADER2. It draws into YV12, I420, YUY2, RGB24
// and RGB32; the others pass through as they are.

#include <dshow.h>

#include <optional>

#include "standins/base/PictureLayout.h"

bool IsUncompressedVideo(const AM_MEDIA_TYPE& mt);
// Where the picture lies in a sample of this type, as the type declares it;
// nothing when the filter does not draw into it.
std::optional<PictureLayout> DrawableLayout(const AM_MEDIA_TYPE& mt);
// The same picture type: subtype, format type and picture size.
bool SamePictureType(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b);
