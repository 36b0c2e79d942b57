#pragma once
// Where the MJPEG codec keeps the settings its configuration dialog confirmed,
// for every instance opened later, in this run or the next:
// HKCU\Software\Standins\MJPEG Compressor, "State", the state block as binary.

#include "standins/codecs/MjpegSettings.h"

// The kept settings, or the defaults when none are kept or the value is not a
// valid state block.
MjpegSettings LoadMjpegSettings();
bool SaveMjpegSettings(const MjpegSettings& settings);
