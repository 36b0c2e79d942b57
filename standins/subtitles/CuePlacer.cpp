#include "standins/subtitles/CuePlacer.h"

#include <algorithm>
#include <cmath>

namespace {

int Pixels(double fraction, int side) { return static_cast<int>(std::floor(fraction * side)); }

}  // namespace

OverlayPlace CuePlacer::Place(const CuePlacement& placement, int width, int height, int inset) {
  const int alignment = std::clamp(placement.alignment, 1, 9);
  const int column = (alignment - 1) % 3;  // left, centre, right
  const int row = (alignment - 1) / 3;     // bottom, middle, top
  const int textWidth = width - 2 * inset, textHeight = height - 2 * inset;
  if (placement.positioned) {
    const int x = Pixels(placement.x, m_width), y = Pixels(placement.y, m_height);
    return {x - textWidth * column / 2 - inset, y - textHeight * (2 - row) / 2 - inset};
  }
  const int left = Pixels(placement.marginLeft, m_width);
  const int right = m_width - Pixels(placement.marginRight, m_width);
  int x = column == 0 ? left : column == 2 ? right - textWidth : (left + right - textWidth) / 2;
  x = std::clamp(x - inset, 0, std::max(0, m_width - width));
  const int margin = Pixels(placement.marginVertical, m_height);
  if (row == 1) return {x, (m_height - height) / 2};
  if (row == 2) {
    const int top = std::max({margin - inset, 0, m_top});
    m_top = top + height;
    return {x, top};
  }
  const int top = std::min({m_height - margin + inset, m_height, m_bottom}) - height;
  m_bottom = top;
  return {x, top};
}
