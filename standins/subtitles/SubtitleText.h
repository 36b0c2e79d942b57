#pragma once
// A subtitle file's bytes into cues, by the format its extension names.

#include <optional>
#include <string_view>

#include "standins/subtitles/CueList.h"
#include "standins/subtitles/TextDecoding.h"

enum class SubtitleFormat { kSubRip, kSsa };

// .srt, .ssa or .ass, in any case; nothing for other names.
std::optional<SubtitleFormat> FormatOfPath(std::string_view path);

CueList ReadSubtitleText(std::string_view bytes, SubtitleFormat format, const AnsiDecoder& ansi);
