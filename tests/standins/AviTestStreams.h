#pragma once
// Stream descriptions as a media type would give them, for the writer's tests.

#include <cstdint>
#include <string>

#include "standins/avi/AviStreamInfo.h"
#include "standins/avi/RiffBytes.h"

// compression 0 is BI_RGB.
AviStreamInfo TestVideo(uint32_t compression, int width, int height, int bits,
                        int64_t frameDuration);
AviStreamInfo TestPcm(uint32_t samplesPerSecond, int channels, int bits);
