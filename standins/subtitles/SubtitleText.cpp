#include "standins/subtitles/SubtitleText.h"

#include "standins/subtitles/SsaReader.h"
#include "standins/subtitles/SubRipReader.h"
#include "standins/subtitles/TextScan.h"

std::optional<SubtitleFormat> FormatOfPath(std::string_view path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::string_view extension = path.substr(dot);
  if (scan::EqualNoCase(extension, ".srt")) return SubtitleFormat::kSubRip;
  if (scan::EqualNoCase(extension, ".ssa") || scan::EqualNoCase(extension, ".ass"))
    return SubtitleFormat::kSsa;
  return std::nullopt;
}

CueList ReadSubtitleText(std::string_view bytes, SubtitleFormat format, const AnsiDecoder& ansi) {
  const std::string text = DecodeToUtf8(bytes, ansi);
  return CueList(format == SubtitleFormat::kSubRip ? ReadSubRip(text) : ReadSsa(text));
}
