#pragma once
// How wide text draws, for the line layout. The filter measures with GDI;
// tests measure with a fixed advance.

#include <string_view>

struct TextStyle;

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // The advance of UTF-8 text in pixels.
  virtual int Width(std::string_view text, const TextStyle& style) const = 0;
};
