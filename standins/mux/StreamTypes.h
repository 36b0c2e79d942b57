#pragma once
// Which connection types the multiplexers take, and the stream each makes.

#include "standins/mux/StreamInfo.h"

namespace standin {
class MediaType;
}

// Video: RGB24 or RGB32 (BI_RGB, bottom-up), or any picture whose subtype is
// its compression's fourcc (YV12, I420, YUY2 and compressed video). Audio:
// integer PCM (also in WAVEFORMATEXTENSIBLE) or a block-aligned compressed
// format; floating-point audio is refused, so that upstream offers integer PCM.
// False when the type is not taken.
bool DescribeStream(const standin::MediaType& mt, StreamInfo& info);
