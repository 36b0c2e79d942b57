#include "standins/subtitles/StyledTextBuilder.h"

#include <algorithm>

#include "standins/subtitles/TextScan.h"

namespace {

bool IsBlank(const TextLine& line) {
  return std::all_of(line.begin(), line.end(), [](const TextRun& run) {
    return std::all_of(run.text.begin(), run.text.end(), scan::IsSpace);
  });
}

}  // namespace

void StyledTextBuilder::Append(char c) {
  if (c == '\t') c = ' ';
  if ((static_cast<unsigned char>(c) < 0x20) || c == 0x7F) return;
  TextLine& line = m_lines.back();
  const TextStyle style = Current();
  if (line.empty() || !(line.back().style == style)) line.push_back({std::string(), style});
  line.back().text += c;
}

void StyledTextBuilder::Toggle(char which, bool on) {
  int& count = which == 'b' ? m_bold : which == 'i' ? m_italic : m_underline;
  count = on ? count + 1 : std::max(0, count - 1);
}

void StyledTextBuilder::PushColor(std::optional<uint32_t> rgb) {
  m_colors.push_back(rgb.value_or(Current().color));
}

void StyledTextBuilder::PopColor() {
  if (!m_colors.empty()) m_colors.pop_back();
}

TextStyle StyledTextBuilder::Current() const {
  TextStyle style = m_base;
  style.bold = style.bold || m_bold > 0;
  style.italic = style.italic || m_italic > 0;
  style.underline = style.underline || m_underline > 0;
  if (!m_colors.empty()) style.color = m_colors.back();
  return style;
}

std::vector<TextLine> StyledTextBuilder::Finish() {
  auto first = std::find_if_not(m_lines.begin(), m_lines.end(), IsBlank);
  auto last = std::find_if_not(m_lines.rbegin(), m_lines.rend(), IsBlank).base();
  if (first >= last) return {};
  return std::vector<TextLine>(std::make_move_iterator(first), std::make_move_iterator(last));
}
