#pragma once
// SubStation Alpha (.ssa) and Advanced SubStation (.ass): the Dialogue lines
// of [Events], read by the columns its Format line names. Override blocks
// "{...}" are dropped, \N and \n break lines, \h is a space. Each cue takes
// the font size (relative to the script's PlayResY) and bold of its style, or
// of the style named Default.

#include <string_view>
#include <vector>

#include "standins/subtitles/Cue.h"

std::vector<Cue> ReadSsa(std::string_view text);
