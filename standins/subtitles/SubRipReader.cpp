#include "standins/subtitles/SubRipReader.h"

#include <algorithm>
#include <optional>

#include "standins/subtitles/LineCursor.h"
#include "standins/subtitles/StyledTextBuilder.h"
#include "standins/subtitles/TextScan.h"

namespace {

// Longer cue texts cannot show on any picture; the limits also keep a hostile
// file from making the markup scan quadratic.
constexpr size_t kMaxCueText = 4096;   // bytes
constexpr size_t kMaxTagLength = 256;  // bytes

bool ParseTimeLine(std::string_view line, int64_t& start, int64_t& end) {
  line = scan::Trim(line);
  if (!scan::Clock(line, ",.", start)) return false;
  line = scan::Trim(line);
  if (line.substr(0, 3) != "-->") return false;
  line = scan::Trim(line.substr(3));
  return scan::Clock(line, ",.", end);  // position coordinates may follow
}

bool IsBlank(std::string_view line) { return scan::Trim(line).empty(); }

bool IsNumber(std::string_view line) {
  line = scan::Trim(line);
  int64_t number = 0;
  return scan::Number(line, 18, number) && line.empty();
}

// Whether the lines from the cursor on begin another cue: a time line, or a
// number followed by one. Blocks are often run together without a blank line.
bool StartsCue(LineCursor cursor) {
  std::string_view line;
  int64_t start = 0, end = 0;
  if (!cursor.Next(line)) return false;
  if (ParseTimeLine(line, start, end)) return true;
  return IsNumber(line) && cursor.Next(line) && ParseTimeLine(line, start, end);
}

// The text lines of a cue, from the line after its time line.
std::string CollectText(LineCursor& cursor) {
  std::string text;
  std::string_view line;
  while (!cursor.AtEnd() && !StartsCue(cursor)) {
    cursor.Next(line);
    if (IsBlank(line)) break;
    if (text.size() + line.size() >= kMaxCueText) continue;
    if (!text.empty()) text += '\n';
    text.append(line);
  }
  return text;
}

struct Tag {
  bool closing = false;
  std::string_view name;
  std::string_view attributes;
};

// A tag at text[at] == '<' that ends on the same line: "<name>", "</name>" or
// "<font attributes>"; false for a '<' that is text ("a < b", "<3").
bool ReadTag(std::string_view text, size_t at, Tag& tag, size_t& next) {
  const size_t close = text.substr(0, at + kMaxTagLength).find_first_of(">\n", at + 1);
  if (close == std::string_view::npos || text[close] != '>') return false;
  std::string_view inner = text.substr(at + 1, close - at - 1);
  tag.closing = scan::Skip(inner, '/');
  size_t nameLength = 0;
  while (nameLength < inner.size() && scan::Lower(inner[nameLength]) >= 'a' &&
         scan::Lower(inner[nameLength]) <= 'z')
    ++nameLength;
  tag.name = inner.substr(0, nameLength);
  tag.attributes = inner.substr(nameLength);
  next = close + 1;
  if (tag.name.empty()) return false;
  if (scan::Trim(tag.attributes).empty()) return true;
  return !tag.closing && scan::IsSpace(tag.attributes.front()) &&
         scan::EqualNoCase(tag.name, "font");
}

bool IsKnownTag(std::string_view name) {
  for (std::string_view known : {"i", "b", "u", "s", "font"})
    if (scan::EqualNoCase(name, known)) return true;
  return false;
}

uint32_t HexDigits(std::string_view digits, bool& ok) {
  uint32_t value = 0;
  for (char c : digits) {
    const char lower = scan::Lower(c);
    const int digit = scan::IsDigit(c)                 ? c - '0'
                      : (lower >= 'a' && lower <= 'f') ? lower - 'a' + 10
                                                       : -1;
    ok = ok && digit >= 0;
    value = value << 4 | static_cast<uint32_t>(digit & 0xF);
  }
  return value;
}

// color="#RRGGBB", color=RRGGBB or a colour name; other attributes are ignored.
std::optional<uint32_t> ParseFontColor(std::string_view attributes) {
  size_t at = 0;
  while (at < attributes.size() && !scan::StartsWithNoCase(attributes.substr(at), "color")) ++at;
  std::string_view value = scan::Trim(attributes.substr(std::min(at + 5, attributes.size())));
  if (!scan::Skip(value, '=')) return std::nullopt;
  value = scan::Trim(value);
  if (!scan::Skip(value, '"')) scan::Skip(value, '\'');
  value = value.substr(0, value.find_first_of("\"' "));
  scan::Skip(value, '#');
  bool ok = value.size() == 6;
  const uint32_t rgb = HexDigits(value, ok);
  if (ok) return rgb;
  static constexpr struct {
    std::string_view name;
    uint32_t rgb;
  } kNames[] = {{"white", 0xFFFFFF},   {"black", 0x000000},   {"red", 0xFF0000},
                {"lime", 0x00FF00},    {"green", 0x008000},   {"blue", 0x0000FF},
                {"yellow", 0xFFFF00},  {"cyan", 0x00FFFF},    {"aqua", 0x00FFFF},
                {"magenta", 0xFF00FF}, {"fuchsia", 0xFF00FF}, {"silver", 0xC0C0C0},
                {"gray", 0x808080},    {"grey", 0x808080},    {"orange", 0xFFA500}};
  for (const auto& entry : kNames)
    if (scan::EqualNoCase(value, entry.name)) return entry.rgb;
  return std::nullopt;
}

void ApplyTag(const Tag& tag, StyledTextBuilder& builder) {
  const char which = scan::Lower(tag.name[0]);
  if (scan::EqualNoCase(tag.name, "font")) {
    if (tag.closing) {
      builder.PopColor();
    } else {
      builder.PushColor(ParseFontColor(tag.attributes));
    }
  } else if (which != 's') {
    builder.Toggle(which, !tag.closing);
  }
}

// An override block "{\...}" as other formats put into SubRip files.
size_t OverrideBlockEnd(std::string_view text, size_t at) {
  if (at + 1 >= text.size() || text[at + 1] != '\\') return std::string_view::npos;
  const size_t close = text.substr(0, at + kMaxTagLength).find_first_of("}\n", at);
  if (close == std::string_view::npos || text[close] != '}') return std::string_view::npos;
  return close + 1;
}

}  // namespace

std::vector<TextLine> ParseSubRipMarkup(std::string_view text) {
  StyledTextBuilder builder;
  for (size_t at = 0; at < text.size();) {
    Tag tag;
    size_t next = 0;
    if (text[at] == '<' && ReadTag(text, at, tag, next) && IsKnownTag(tag.name)) {
      ApplyTag(tag, builder);
      at = next;
    } else if (text[at] == '{' && (next = OverrideBlockEnd(text, at)) != std::string_view::npos) {
      at = next;
    } else if (text[at] == '\n') {
      builder.BreakLine();
      ++at;
    } else {
      builder.Append(text[at]);
      ++at;
    }
  }
  return builder.Finish();
}

std::vector<Cue> ReadSubRip(std::string_view text) {
  std::vector<Cue> cues;
  LineCursor cursor(text);
  std::string_view line;
  while (cursor.Next(line)) {
    Cue cue;
    if (!ParseTimeLine(line, cue.start, cue.end)) continue;
    cue.lines = ParseSubRipMarkup(CollectText(cursor));
    if (cue.end > cue.start && !cue.lines.empty()) cues.push_back(std::move(cue));
  }
  return cues;
}
