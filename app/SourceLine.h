#pragma once
// The main window's source line for an opened video.

#include <cstdint>
#include <string>

// "<file name>: hh:mm:ss" for the video at path; duration in 100 ns units,
// shown in whole seconds (truncated).
std::string SourceLineText(const char* path, int64_t duration);
