#include "standins/subtitles/SsaReader.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "standins/subtitles/LineCursor.h"
#include "standins/subtitles/SsaOverrides.h"
#include "standins/subtitles/StyledTextBuilder.h"
#include "standins/subtitles/TextScan.h"

namespace {

constexpr double kDefaultPlayResX = 384;  // when the script names neither side: 384 x 288
constexpr double kMinHeightScale = 0.01;
constexpr double kMaxHeightScale = 0.5;
// Outline and shadow at most, of the picture height: an outline costs its width squared.
constexpr double kMaxEdge = 0.02;
constexpr double kFarOut = 4;  // a position beyond the picture, of its size
constexpr size_t kMaxCueText = 4096;  // bytes

enum class Section { kOther, kScriptInfo, kStyles, kEvents };

struct Style {
  SsaLineStyle line;
  std::optional<double> margins[3];  // left, right, vertical; script pixels
};

struct Dialogue {
  int64_t start = 0;
  int64_t end = 0;
  std::string style;  // lower case
  std::string text;
  double margins[3] = {};  // left, right, vertical; 0: the style's
};

std::string LowerCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = scan::Lower(c);
  return out;
}

// "Name, Start, End" into lower-case names.
std::vector<std::string> ParseFormat(std::string_view value) {
  std::vector<std::string> columns;
  while (!value.empty()) {
    const size_t comma = value.find(',');
    columns.push_back(LowerCopy(scan::Trim(value.substr(0, comma))));
    value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
  }
  return columns;
}

// As many fields as there are columns; the last column takes the rest of the
// line, commas included. Empty when the line has too few fields.
std::vector<std::string_view> SplitFields(std::string_view value, size_t columns) {
  std::vector<std::string_view> fields;
  while (columns > 0 && fields.size() + 1 < columns) {
    const size_t comma = value.find(',');
    if (comma == std::string_view::npos) return {};
    fields.push_back(scan::Trim(value.substr(0, comma)));
    value = value.substr(comma + 1);
  }
  if (columns > 0) fields.push_back(value);
  return fields;
}

// A section's "Format" line sets its columns; a line of kind gives its fields.
// False for every other line.
bool ReadRow(std::string_view key, std::string_view value, std::string_view kind,
             std::vector<std::string>& columns, std::vector<std::string_view>& fields) {
  if (scan::EqualNoCase(key, "Format")) {
    columns = ParseFormat(value);
    return false;
  }
  if (!scan::EqualNoCase(key, kind)) return false;
  fields = SplitFields(value, columns.size());
  return true;
}

std::optional<std::string_view> Field(const std::vector<std::string>& columns,
                                      const std::vector<std::string_view>& fields,
                                      std::string_view name) {
  for (size_t i = 0; i < columns.size() && i < fields.size(); ++i)
    if (columns[i] == name) return fields[i];
  return std::nullopt;
}

// At most kMaxCueText bytes of UTF-8 text, cut between characters.
std::string_view Shortened(std::string_view text) {
  size_t cut = std::min(text.size(), kMaxCueText);
  while (cut > 0 && cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
    --cut;
  return text.substr(0, cut);
}

bool ParseTime(std::string_view text, int64_t& time) {
  text = scan::Trim(text);
  return scan::Clock(text, ".", time) && text.empty();
}

// A Dialogue's Text field into a builder: its override blocks change style,
// which starts as the line's.
void AppendDialogueText(std::string_view text, const SsaLineStyle& line, SsaLineStyle& style,
                        StyledTextBuilder& builder) {
  const size_t lastClose = text.rfind('}');  // a '{' after it is plain text
  for (size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '{' && lastClose != std::string_view::npos && at < lastClose) {
      const size_t close = text.find('}', at);
      if (close != std::string_view::npos) {
        ApplySsaOverrides(text.substr(at + 1, close - at - 1), line, style);
        builder.SetBase(style.text);
        at = close;
        continue;
      }
    }
    if (style.drawing) continue;
    const char escaped = (c == '\\' && at + 1 < text.size()) ? text[at + 1] : '\0';
    if (escaped == 'N' || escaped == 'n' || escaped == 'h') {
      if (escaped == 'h') {
        builder.Append(' ');
      } else {
        builder.BreakLine();
      }
      ++at;
      continue;
    }
    builder.Append(c);
  }
}

// A style line's look: its font, switches, colours and edges.
SsaLineStyle LineStyleOf(const std::vector<std::string>& columns,
                         const std::vector<std::string_view>& fields, bool legacy) {
  const auto text = [&](std::string_view column) { return Field(columns, fields, column); };
  const auto number = [&](std::string_view column) {
    const auto field = text(column);
    return field ? ParseSsaNumber(*field) : std::nullopt;
  };
  const auto color = [&](std::string_view column, uint32_t fallback) {
    const auto field = text(column);
    return field ? ParseSsaColor(*field).value_or(fallback) : fallback;
  };
  SsaLineStyle line;
  line.fontName = std::string(scan::Trim(text("fontname").value_or("")));
  line.fontSize = std::max(0.0, number("fontsize").value_or(0));
  line.text.bold = number("bold").value_or(0) != 0;  // -1 is true
  line.text.italic = number("italic").value_or(0) != 0;
  line.text.underline = number("underline").value_or(0) != 0;
  line.text.color = color("primarycolour", line.text.color);
  line.outlineColor = color(legacy ? "tertiarycolour" : "outlinecolour", line.outlineColor);
  line.shadowColor = color("backcolour", line.shadowColor);
  line.outline = number("outline").value_or(-1);
  line.shadow = std::max(0.0, number("shadow").value_or(0));
  line.alignment = SsaAlignment(number("alignment").value_or(2), legacy);
  return line;
}

class SsaDocument {
 public:
  void ReadLine(std::string_view line);
  std::vector<Cue> Cues();

 private:
  void ReadScriptInfo(std::string_view key, std::string_view value);
  void ReadStyle(std::string_view key, std::string_view value);
  void ReadEvent(std::string_view key, std::string_view value);
  const Style* FindStyle(const std::string& name) const;

  Cue CueOf(const Dialogue& dialogue, const Style& style) const;
  CuePlacement PlacementOf(const Dialogue& dialogue, const Style& style,
                           const SsaLineStyle& line) const;

  Section m_section = Section::kOther;
  bool m_legacyStyles = false;  // [V4 Styles] of SSA, not [V4+ Styles] of ASS
  double m_playResX = 0;
  double m_playResY = 0;
  std::vector<std::string> m_styleColumns;
  // Without a Format line, events have the columns every version writes.
  std::vector<std::string> m_eventColumns =
      ParseFormat("Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text");
  std::map<std::string, Style> m_styles;  // by lower-case name
  std::string m_firstStyle;
  std::vector<Dialogue> m_dialogues;
};

void SsaDocument::ReadLine(std::string_view line) {
  line = scan::Trim(line);
  if (!line.empty() && line.front() == '[') {
    const std::string name = LowerCopy(line);
    m_section = name == "[script info]"                    ? Section::kScriptInfo
                : name.find("styles") != std::string::npos ? Section::kStyles
                : name == "[events]"                       ? Section::kEvents
                                                           : Section::kOther;
    if (m_section == Section::kStyles) m_legacyStyles = name.find('+') == std::string::npos;
    return;
  }
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;
  const std::string_view key = scan::Trim(line.substr(0, colon));
  const std::string_view value = scan::Trim(line.substr(colon + 1));
  if (m_section == Section::kScriptInfo) ReadScriptInfo(key, value);
  if (m_section == Section::kStyles) ReadStyle(key, value);
  if (m_section == Section::kEvents) ReadEvent(key, value);
}

void SsaDocument::ReadScriptInfo(std::string_view key, std::string_view value) {
  if (scan::EqualNoCase(key, "PlayResX")) m_playResX = ParseSsaNumber(value).value_or(0);
  if (scan::EqualNoCase(key, "PlayResY")) m_playResY = ParseSsaNumber(value).value_or(0);
}

void SsaDocument::ReadStyle(std::string_view key, std::string_view value) {
  std::vector<std::string_view> fields;
  if (!ReadRow(key, value, "Style", m_styleColumns, fields)) return;
  const std::optional<std::string_view> name = Field(m_styleColumns, fields, "name");
  if (!name) return;
  Style style{LineStyleOf(m_styleColumns, fields, m_legacyStyles)};
  const char* const kMargins[] = {"marginl", "marginr", "marginv"};
  for (int i = 0; i < 3; ++i) {
    if (auto margin = Field(m_styleColumns, fields, kMargins[i]))
      style.margins[i] = ParseSsaNumber(*margin);
  }
  const std::string styleName = LowerCopy(scan::Trim(*name));
  if (m_styles.empty()) m_firstStyle = styleName;
  m_styles[styleName] = style;
}

void SsaDocument::ReadEvent(std::string_view key, std::string_view value) {
  std::vector<std::string_view> fields;
  if (!ReadRow(key, value, "Dialogue", m_eventColumns, fields)) return;
  const auto start = Field(m_eventColumns, fields, "start");
  const auto end = Field(m_eventColumns, fields, "end");
  const auto text = Field(m_eventColumns, fields, "text");
  Dialogue dialogue;
  if (!start || !end || !text || !ParseTime(*start, dialogue.start) ||
      !ParseTime(*end, dialogue.end) || dialogue.end <= dialogue.start)
    return;
  dialogue.style = LowerCopy(scan::Trim(Field(m_eventColumns, fields, "style").value_or("")));
  dialogue.text = Shortened(*text);
  const char* const kMargins[] = {"marginl", "marginr", "marginv"};
  for (int i = 0; i < 3; ++i) {
    const auto margin = Field(m_eventColumns, fields, kMargins[i]);
    dialogue.margins[i] = margin ? ParseSsaNumber(*margin).value_or(0) : 0;
  }
  m_dialogues.push_back(std::move(dialogue));
}

const Style* SsaDocument::FindStyle(const std::string& name) const {
  for (const std::string& candidate :
       {name, std::string("default"), std::string("*default"), m_firstStyle}) {
    const auto found = m_styles.find(candidate);
    if (found != m_styles.end()) return &found->second;
  }
  return nullptr;
}

// Margins of a side of size pixels as a fraction of it: the line's own, else
// its style's, else the default.
CuePlacement SsaDocument::PlacementOf(const Dialogue& dialogue, const Style& style,
                                      const SsaLineStyle& line) const {
  CuePlacement placement;
  const double sizes[] = {m_playResX, m_playResX, m_playResY};
  double* margins[] = {&placement.marginLeft, &placement.marginRight, &placement.marginVertical};
  for (int i = 0; i < 3; ++i) {
    const double pixels =
        dialogue.margins[i] > 0 ? dialogue.margins[i] : style.margins[i].value_or(-1);
    if (pixels >= 0) *margins[i] = std::min(pixels / sizes[i], 1.0);
  }
  placement.alignment = line.alignment;
  placement.positioned = line.positioned;
  placement.x = std::clamp(line.x / m_playResX, -kFarOut, kFarOut);
  placement.y = std::clamp(line.y / m_playResY, -kFarOut, kFarOut);
  return placement;
}

Cue SsaDocument::CueOf(const Dialogue& dialogue, const Style& style) const {
  SsaLineStyle line = style.line;
  StyledTextBuilder builder(line.text);
  AppendDialogueText(dialogue.text, style.line, line, builder);
  Cue cue{dialogue.start, dialogue.end, builder.Finish()};
  if (line.fontSize > 0)
    cue.heightScale = std::clamp(line.fontSize / m_playResY, kMinHeightScale, kMaxHeightScale);
  cue.placement = PlacementOf(dialogue, style, line);
  cue.look.fontName = line.fontName;
  cue.look.cellHeight = true;
  if (line.outline >= 0) cue.look.outline = std::min(line.outline / m_playResY, kMaxEdge);
  cue.look.shadow = std::min(line.shadow / m_playResY, kMaxEdge);
  cue.look.outlineColor = line.outlineColor;
  cue.look.shadowColor = line.shadowColor;
  return cue;
}

// A script that names one side of its size has the other at 4:3.
std::vector<Cue> SsaDocument::Cues() {
  if (m_playResX <= 0 && m_playResY <= 0) m_playResX = kDefaultPlayResX;
  if (m_playResY <= 0) m_playResY = m_playResX * 3 / 4;
  if (m_playResX <= 0) m_playResX = m_playResY * 4 / 3;
  const Style plain;
  std::vector<Cue> cues;
  for (const Dialogue& dialogue : m_dialogues) {
    const Style* style = FindStyle(dialogue.style);
    Cue cue = CueOf(dialogue, style ? *style : plain);
    if (!cue.lines.empty()) cues.push_back(std::move(cue));
  }
  return cues;
}

}  // namespace

std::vector<Cue> ReadSsa(std::string_view text) {
  SsaDocument document;
  LineCursor cursor(text);
  std::string_view line;
  while (cursor.Next(line)) document.ReadLine(line);
  return document.Cues();
}
