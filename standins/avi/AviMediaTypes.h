#pragma once
// Which connection types the AVI multiplexer takes, and the stream each makes.

#include "standins/avi/AviStreamInfo.h"

namespace standin {
class MediaType;
}

// Video: RGB24 or RGB32 (BI_RGB, bottom-up), or any picture whose subtype is
// its compression's fourcc (YV12, I420, YUY2 and compressed video). Audio:
// integer PCM (also in WAVEFORMATEXTENSIBLE) or a block-aligned compressed
// format; floating-point audio is refused, so that upstream offers integer PCM.
// False when the type is not taken.
bool DescribeAviStream(const standin::MediaType& mt, AviStreamInfo& info);
