#pragma once
// The MJPEG codec keeps the settings its dialog confirmed in the user's
// registry. A test that sets them puts them back with this guard: they are
// taken away at construction (the codec then starts from its defaults) and
// restored at destruction.

#include "support/RawRegistry.h"

struct KeptMjpegSettings : KeptRawValue {
  KeptMjpegSettings() : KeptRawValue("Software\\Standins\\MJPEG Compressor", "State", true) {}
};
