#pragma once
// The opened source's picture and rate, kept by the main window.

#include <cstdint>

struct SourceInfo {
  int32_t width = 352;        // pixels
  int32_t height = 288;       // pixels
  double frameRate = 23.976;  // frames per second
};
