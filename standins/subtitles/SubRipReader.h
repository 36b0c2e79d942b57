#pragma once
// SubRip (.srt): blocks of an optional number, a time line
// "00:00:01,000 --> 00:00:02,500" and text lines up to a blank line. The tags
// <i> <b> <u> and <font color=...> style the text; other markup is dropped.

#include <string_view>
#include <vector>

#include "standins/subtitles/Cue.h"

// The cues of a UTF-8 text, in file order. A block without a readable time
// line, or whose end is not after its start, is skipped.
std::vector<Cue> ReadSubRip(std::string_view text);

// Lines (separated by '\n') of SubRip cue text into styled lines.
std::vector<TextLine> ParseSubRipMarkup(std::string_view text);
