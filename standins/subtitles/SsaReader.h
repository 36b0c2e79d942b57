#pragma once
// SubStation Alpha (.ssa) and Advanced SubStation (.ass): the Dialogue lines
// of [Events], read by the columns its Format line names. \N and \n break
// lines, \h is a space. Each cue takes the look and place of its style (or of
// the style named Default): font, size, bold, italic, underline, colours,
// outline, shadow, alignment and margins, in the script's pixels (PlayResX x
// PlayResY) made fractions of the picture; a Dialogue's own margins come
// first, and its override tags change them (SsaOverrides).

#include <string_view>
#include <vector>

#include "standins/subtitles/Cue.h"

std::vector<Cue> ReadSsa(std::string_view text);
