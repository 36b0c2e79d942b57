#include "standins/subtitles/SsaOverrides.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "standins/subtitles/TextScan.h"

namespace {

// Longer names before the shorter names they start with.
constexpr std::string_view kTagNames[] = {"fn", "fs", "an", "a",  "bord", "b", "shad", "pos",
                                          "p",  "1c", "3c", "4c", "c",    "i", "u",    "r"};

// "(x,y)".
bool Point(std::string_view text, double& x, double& y) {
  text = scan::Trim(text);
  const size_t comma = text.find(',');
  if (text.size() < 5 || text.front() != '(' || text.back() != ')' ||
      comma == std::string_view::npos)
    return false;
  const auto first = ParseSsaNumber(text.substr(1, comma - 1));
  const auto second = ParseSsaNumber(text.substr(comma + 1, text.size() - comma - 2));
  if (!first || !second) return false;
  x = *first;
  y = *second;
  return true;
}

// A switch's value: 0 off, 1 on (\b also takes a weight); none is the line's.
void Switch(std::string_view argument, bool lineValue, bool& value) {
  const auto number = ParseSsaNumber(argument);
  if (argument.empty()) value = lineValue;
  if (number) value = *number == 1 || *number >= 600;
}

void SetColor(std::string_view argument, uint32_t lineColor, uint32_t& color) {
  const auto parsed = ParseSsaColor(argument);
  if (argument.empty()) color = lineColor;
  if (parsed) color = *parsed;
}

void SetSize(std::string_view argument, double lineSize, double& size) {
  const auto number = ParseSsaNumber(argument);
  if (argument.empty()) size = lineSize;
  if (number && *number >= 0) size = *number;
}

void ApplyTag(std::string_view name, std::string_view argument, const SsaLineStyle& line,
              SsaLineStyle& style) {
  const auto number = ParseSsaNumber(argument);
  if (name == "b") Switch(argument, line.text.bold, style.text.bold);
  if (name == "i") Switch(argument, line.text.italic, style.text.italic);
  if (name == "u") Switch(argument, line.text.underline, style.text.underline);
  if (name == "c" || name == "1c") SetColor(argument, line.text.color, style.text.color);
  if (name == "3c") SetColor(argument, line.outlineColor, style.outlineColor);
  if (name == "4c") SetColor(argument, line.shadowColor, style.shadowColor);
  if (name == "fn") style.fontName = argument.empty() ? line.fontName : std::string(argument);
  if (name == "fs") SetSize(argument, line.fontSize, style.fontSize);
  if (name == "bord") SetSize(argument, line.outline, style.outline);
  if (name == "shad") SetSize(argument, line.shadow, style.shadow);
  if (name == "p" && number) style.drawing = *number > 0;
  if (name == "r") {  // the place is the whole line's
    const SsaLineStyle kept = style;
    style = line;
    style.alignment = kept.alignment;
    style.aligned = kept.aligned;
    style.positioned = kept.positioned;
    style.x = kept.x;
    style.y = kept.y;
  }
  const bool keypad = name == "an";
  if ((keypad || name == "a") && number && !style.aligned) {
    style.alignment = SsaAlignment(*number, !keypad);
    style.aligned = true;
  }
  if (name == "pos" && !style.positioned) style.positioned = Point(argument, style.x, style.y);
}

}  // namespace

void ApplySsaOverrides(std::string_view block, const SsaLineStyle& line, SsaLineStyle& style) {
  size_t at = block.find('\\');
  while (at != std::string_view::npos) {
    // A tag runs to the next backslash outside parentheses: \t(0,500,\fs30) is one.
    size_t end = at + 1;
    for (int depth = 0; end < block.size() && (depth > 0 || block[end] != '\\'); ++end)
      depth += block[end] == '(' ? 1 : block[end] == ')' ? -1 : 0;
    const std::string_view tag = scan::Trim(block.substr(at + 1, end - at - 1));
    for (std::string_view name : kTagNames) {
      if (tag.substr(0, name.size()) != name) continue;
      ApplyTag(name, scan::Trim(tag.substr(name.size())), line, style);
      break;
    }
    at = end < block.size() ? end : std::string_view::npos;
  }
}

std::optional<double> ParseSsaNumber(std::string_view text) {
  const std::string copy(scan::Trim(text));
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (copy.empty() || end != copy.c_str() + copy.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<uint32_t> ParseSsaColor(std::string_view text) {
  text = scan::Trim(text);
  if (!text.empty() && text.front() == '&') text.remove_prefix(1);
  if (!text.empty() && text.back() == '&') text.remove_suffix(1);
  const bool hex = !text.empty() && scan::Lower(text.front()) == 'h';
  if (hex) text.remove_prefix(1);
  const std::string copy(text);
  char* end = nullptr;
  const long long value = std::strtoll(copy.c_str(), &end, hex ? 16 : 10);
  if (copy.empty() || end != copy.c_str() + copy.size() || scan::IsSpace(copy.front()))
    return std::nullopt;
  const auto bgr = static_cast<uint32_t>(value & 0xFFFFFF);
  return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | bgr >> 16;
}

int SsaAlignment(double value, bool legacy) {
  const int number = static_cast<int>(std::clamp(value, 0.0, 12.0));
  if (!legacy) return number >= 1 && number <= 9 ? number : 2;
  const int column = number & 3;
  if (number < 1 || number > 11 || column == 0) return 2;
  return column + ((number & 4) ? 6 : (number & 8) ? 3 : 0);
}
