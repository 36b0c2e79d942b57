#include "standins/subtitles/CueLayout.h"

#include "standins/subtitles/TextDecoding.h"
#include "standins/subtitles/TextMeasurer.h"

namespace {

struct Piece {
  std::string text;
  TextStyle style;
};

using Word = std::vector<Piece>;  // adjacent pieces with no space between them

class LineWrapper {
 public:
  LineWrapper(int maxWidth, const TextMeasurer& measurer, std::vector<PlacedLine>& out)
      : m_maxWidth(maxWidth), m_measurer(measurer), m_out(out) {}

  // space: the spaces before the word, dropped at the start of a line.
  void AddWord(const Word& word, const Piece& space);
  void EndLine();

 private:
  int WidthOf(const Word& word) const;
  void AddBrokenWord(const Word& word);
  void Place(const Piece& piece, int width);

  int m_maxWidth;
  const TextMeasurer& m_measurer;
  std::vector<PlacedLine>& m_out;
  std::vector<Piece> m_line;
  int m_width = 0;
};

int LineWrapper::WidthOf(const Word& word) const {
  int width = 0;
  for (const Piece& piece : word) width += m_measurer.Width(piece.text, piece.style);
  return width;
}

void LineWrapper::AddWord(const Word& word, const Piece& space) {
  const int wordWidth = WidthOf(word);
  const int spaceWidth = space.text.empty() ? 0 : m_measurer.Width(space.text, space.style);
  if (!m_line.empty() && m_width + spaceWidth + wordWidth > m_maxWidth) EndLine();
  if (m_line.empty() && wordWidth > m_maxWidth) {
    AddBrokenWord(word);
    return;
  }
  if (!m_line.empty() && spaceWidth > 0) Place(space, spaceWidth);
  for (const Piece& piece : word) Place(piece, m_measurer.Width(piece.text, piece.style));
}

// Character by character; each character is measured alone.
void LineWrapper::AddBrokenWord(const Word& word) {
  for (const Piece& piece : word) {
    for (size_t at = 0; at < piece.text.size();) {
      const size_t length = Utf8SequenceLength(piece.text, at);
      const Piece character{piece.text.substr(at, length), piece.style};
      const int width = m_measurer.Width(character.text, character.style);
      if (!m_line.empty() && m_width + width > m_maxWidth) EndLine();
      Place(character, width);
      at += length;
    }
  }
}

void LineWrapper::Place(const Piece& piece, int width) {
  if (!m_line.empty() && m_line.back().style == piece.style) {
    m_line.back().text += piece.text;
  } else {
    m_line.push_back(piece);
  }
  m_width += width;
}

// Runs of one style are measured whole, so their kerning counts.
void LineWrapper::EndLine() {
  PlacedLine line;
  for (Piece& piece : m_line) {
    const int width = m_measurer.Width(piece.text, piece.style);
    line.runs.push_back({std::move(piece.text), piece.style, line.width});
    line.width += width;
  }
  m_out.push_back(std::move(line));
  m_line.clear();
  m_width = 0;
}

void WrapLine(const TextLine& source, LineWrapper& wrapper) {
  Word word;
  Piece space;
  for (const TextRun& run : source) {
    for (size_t at = 0; at < run.text.size();) {
      const bool isSpace = run.text[at] == ' ';
      size_t end = at;
      while (end < run.text.size() && (run.text[end] == ' ') == isSpace) ++end;
      const Piece piece{run.text.substr(at, end - at), run.style};
      at = end;
      if (!isSpace) {
        word.push_back(piece);
        continue;
      }
      if (!word.empty()) wrapper.AddWord(word, space);
      word.clear();
      space = piece;
    }
  }
  if (!word.empty()) wrapper.AddWord(word, space);
  wrapper.EndLine();
}

}  // namespace

std::vector<PlacedLine> LayOutCue(const std::vector<TextLine>& lines, int maxWidth,
                                  const TextMeasurer& measurer) {
  std::vector<PlacedLine> out;
  LineWrapper wrapper(maxWidth, measurer, out);
  for (const TextLine& line : lines) WrapLine(line, wrapper);
  return out;
}
