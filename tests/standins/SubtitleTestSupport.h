#pragma once
// Readable forms of cues for the subtitle tests.

#include <string>
#include <vector>

#include "standins/subtitles/Cue.h"

// "text[flags]" per run, lines joined by " / "; flags are b, i, u and the
// colour as #rrggbb when it is not white.
std::string Describe(const std::vector<TextLine>& lines);

// "start-end: text" with times in milliseconds, one cue per line.
std::string Describe(const std::vector<Cue>& cues);
