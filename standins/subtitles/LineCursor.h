#pragma once
// Walks a text line by line. Lines end at LF, CR LF or a lone CR; the line
// given never holds its end.

#include <string_view>

class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : m_text(text) {}

  bool AtEnd() const { return m_at >= m_text.size(); }

  bool Next(std::string_view& line) {
    if (AtEnd()) return false;
    const size_t end = m_text.find_first_of("\r\n", m_at);
    if (end == std::string_view::npos) {
      line = m_text.substr(m_at);
      m_at = m_text.size();
      return true;
    }
    line = m_text.substr(m_at, end - m_at);
    m_at = end + 1;
    if (m_text[end] == '\r' && m_at < m_text.size() && m_text[m_at] == '\n') ++m_at;
    return true;
  }

 private:
  std::string_view m_text;
  size_t m_at = 0;
};
