#pragma once
// The Video for Windows codecs behind the video compressors: the Output
// options dialog's Settings button opens the own configuration dialog of the
// codec whose description matches the chosen compressor's name.

#include <windows.h>
#include <vfw.h>

#include <string>
#include <vector>

#include "settings/VfwCodecState.h"

constexpr size_t kMaxVfwCodecs = 50;

// The installed compressors ('vidc') that accept an uncompressed RGB frame of
// width x height pixels at depth bits per pixel, in ICInfo order, at most
// kMaxVfwCodecs of them. Gives their number.
int EnumerateVfwCompressors(LONG width, LONG height, WORD depth, std::vector<ICINFO>& list);

// Which of the descriptions belongs to the compressor named chosenName, or -1.
// An equal description (ignoring case) wins, the last one if several are;
// until one is found, an "ffdshow video encoder" name takes the first
// description that holds the fragment too, when both carry a version token.
int MatchVfwCodec(const char* chosenName, const std::vector<std::string>& descriptions);

// The first run of the characters 0-9 and '.' in text; empty without one.
std::string VersionToken(const char* text);

// The Settings button of the Output options dialog: configures the codec
// behind the chosen video compressor, owned by the dialog. state carries the
// confirmed configuration from one press to the next.
void ConfigureVfwCodec(HWND dialog, VfwCodecState& state);
