#pragma once
// Pictures as bitmap headers describe them: which uncompressed ones the MJPEG
// codec takes, and the header of what it makes.

#include <windows.h>

#include "standins/codecs/PictureConverter.h"
#include "standins/codecs/YuvPicture.h"

constexpr DWORD kMjpgFourCc = MAKEFOURCC('M', 'J', 'P', 'G');

// The picture that header describes, without its pixels: RGB24 and RGB32
// (BI_RGB; a negative height is top-down), YUY2, YV12, I420 (also as IYUV).
// False for anything else and for sizes that format cannot hold.
bool DescribePicture(const BITMAPINFOHEADER& header, SourcePicture& picture);

// The compressed picture's header for frames of width x height; biSizeImage
// holds the most a frame can take.
BITMAPINFOHEADER MjpegHeader(int width, int height, size_t maxFrameSize);
