#pragma once
// What the next conversion produces. The main window owns one; the Output
// options dialog edits a copy and hands it back on OK.

#include <cstdint>
#include <string>

#include "settings/OutputFormat.h"

struct ConversionSettings {
  std::string outputPath;  // at most 259 characters
  OutputFormat outputFormat = OutputFormat::Wmv;
  int32_t outputWidth = 0;   // pixels; 0 until known
  int32_t outputHeight = 0;  // pixels; 0 until known
  int32_t frameRateIndex = 1;
  double outputFrameRate = 23.976;  // frames per second
  int32_t resizeMode = 0;           // 2 preserve aspect ratio, 0 stretch
  int32_t useVideoCompressor = 1;
  int32_t useAudioCompressor = 1;
  int32_t videoCompressorIndex = 0;  // catalogue position, -1 none
  int32_t audioCompressorIndex = 0;  // catalogue position, -1 none
  int32_t videoBitrate = 389120;     // bits per second
  int32_t audioBitrate = 128000;     // bits per second
  int32_t fileProfile = 0;
};

// The frame-rate choices of the Output options dialog: 0 the source's rate,
// 1..5 fixed rates, 6 the typed rate. Another index becomes 1 (23.976).
double FrameRateOfChoice(int32_t& index, double sourceRate, double typedRate);
