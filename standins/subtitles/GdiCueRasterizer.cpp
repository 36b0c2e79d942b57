#include "standins/subtitles/GdiCueRasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "standins/subtitles/Cue.h"
#include "standins/subtitles/CueLayout.h"
#include "standins/subtitles/Overlay.h"
#include "standins/subtitles/SystemText.h"

namespace {

constexpr double kDefaultHeightScale = 18.0 / 288;  // of the picture height
constexpr int kMinTextHeight = 8;                   // pixels
// Fonts draw small sizes without anti-aliasing (their gasp tables say so):
// text is drawn at least this tall and scaled down.
constexpr int kSmoothTextHeight = 48;  // pixels
constexpr int kMaxSupersample = 4;

// Sizes in pixels of the drawing, which is `scale` times the overlay's size.
struct Geometry {
  int scale = 1;
  int textHeight = 0;
  int outline = 0;  // around each glyph, in overlay pixels
  int shadow = 0;   // offset right and down, in overlay pixels
  int margin = 0;   // around the text: the outline, shadow and italic overhang
  int column = 1;   // lines to the left, centre or right
  int lineHeight = 0;
  int width = 0;   // a multiple of scale
  int height = 0;  // a multiple of scale
};

// A 32-bit top-down memory bitmap selected into a context while it lives.
class Canvas {
 public:
  Canvas(HDC dc, int width, int height) : m_dc(dc), m_width(width), m_height(height) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB};
    m_bitmap =
        CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
    if (m_bitmap) m_old = SelectObject(dc, m_bitmap);
  }
  ~Canvas() {
    if (!m_bitmap) return;
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool Valid() const { return m_bits != nullptr; }
  void Clear() {
    GdiFlush();
    std::memset(m_bits, 0, static_cast<size_t>(m_width) * m_height * 4);
  }
  // Blue, green, red, unused: byte i * 4 + channel.
  const uint8_t* Bits() {
    GdiFlush();
    return m_bits;
  }

 private:
  HDC m_dc;
  int m_width, m_height;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
  uint8_t* m_bits = nullptr;
};

void DrawLines(GdiFontSet& fonts, const std::vector<PlacedLine>& lines, const Geometry& geometry,
               bool inColor) {
  HDC dc = fonts.Dc();
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  const int textWidth = geometry.width - 2 * geometry.margin;
  int y = geometry.margin;
  for (const PlacedLine& line : lines) {
    const int x = geometry.margin + geometry.column * (textWidth - line.width) / 2;
    for (const PlacedRun& run : line.runs) {
      const uint32_t rgb = inColor ? run.style.color : 0xFFFFFF;
      SetTextColor(dc, RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF));
      fonts.Select(run.style);
      const std::wstring wide = Utf8ToWide(run.text);
      TextOutW(dc, x + run.x, y, wide.c_str(), static_cast<int>(wide.size()));
    }
    y += geometry.lineHeight;
  }
}

bool AllWhite(const std::vector<PlacedLine>& lines) {
  for (const PlacedLine& line : lines)
    for (const PlacedRun& run : line.runs)
      if (run.style.color != 0xFFFFFF) return false;
  return true;
}

Geometry Measure(GdiFontSet& fonts, const Cue& cue, int pictureHeight) {
  Geometry geometry;
  const double heightScale = cue.heightScale > 0 ? cue.heightScale : kDefaultHeightScale;
  const int textHeight =
      std::max(kMinTextHeight, static_cast<int>(std::lround(heightScale * pictureHeight)));
  geometry.scale =
      std::clamp((kSmoothTextHeight + textHeight - 1) / textHeight, 1, kMaxSupersample);
  geometry.textHeight = textHeight * geometry.scale;
  const CueLook& look = cue.look;
  geometry.outline = look.outline < 0 ? 1 + textHeight / 16
                                      : static_cast<int>(std::lround(look.outline * pictureHeight));
  geometry.shadow = static_cast<int>(std::lround(look.shadow * pictureHeight));
  geometry.margin = (geometry.outline + geometry.shadow + textHeight / 6) * geometry.scale;
  geometry.column = (std::clamp(cue.placement.alignment, 1, 9) - 1) % 3;
  fonts.UseFont(look.fontName, geometry.textHeight, look.cellHeight);
  geometry.lineHeight = fonts.LineHeight();
  return geometry;
}

// The drawing's size: the widest line and every line, cut to the picture.
void FitDrawing(const std::vector<PlacedLine>& lines, int pictureWidth, int pictureHeight,
                Geometry& geometry) {
  int widest = 0;
  for (const PlacedLine& line : lines) widest = std::max(widest, line.width);
  const int64_t height =
      static_cast<int64_t>(lines.size()) * geometry.lineHeight + 2 * geometry.margin;
  const int scale = geometry.scale;
  const int64_t width = widest == 0 ? 0 : widest + 2 * geometry.margin;
  geometry.width = static_cast<int>(std::min<int64_t>(pictureWidth, (width + scale - 1) / scale));
  geometry.height =
      static_cast<int>(std::min<int64_t>(pictureHeight, (height + scale - 1) / scale));
  geometry.width *= scale;
  geometry.height *= scale;
}

// The mean of each scale x scale block of one channel of the drawing.
std::vector<uint8_t> ScaleDown(const uint8_t* bits, int channel, const Geometry& geometry) {
  const int scale = geometry.scale;
  const int width = geometry.width / scale, height = geometry.height / scale;
  std::vector<uint8_t> out(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int sum = 0;
      for (int sy = y * scale; sy < (y + 1) * scale; ++sy)
        for (int sx = x * scale; sx < (x + 1) * scale; ++sx)
          sum += bits[(static_cast<size_t>(sy) * geometry.width + sx) * 4 + channel];
      out[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(sum / (scale * scale));
    }
  }
  return out;
}

// Light on black: each channel is the glyph's coverage times its colour.
Overlay Paint(GdiFontSet& fonts, const std::vector<PlacedLine>& lines, const Geometry& geometry,
              const CueLook& look) {
  Canvas canvas(fonts.Dc(), geometry.width, geometry.height);
  if (!canvas.Valid()) return {};
  canvas.Clear();
  DrawLines(fonts, lines, geometry, false);
  const std::vector<uint8_t> coverage = ScaleDown(canvas.Bits(), 1, geometry);
  std::vector<uint8_t> red = coverage, green = coverage, blue = coverage;
  if (!AllWhite(lines)) {
    canvas.Clear();
    DrawLines(fonts, lines, geometry, true);
    red = ScaleDown(canvas.Bits(), 2, geometry);
    green = ScaleDown(canvas.Bits(), 1, geometry);
    blue = ScaleDown(canvas.Bits(), 0, geometry);
  }
  std::vector<uint8_t> rgb(coverage.size() * 3);
  for (size_t i = 0; i < coverage.size(); ++i) {
    rgb[i * 3] = red[i];
    rgb[i * 3 + 1] = green[i];
    rgb[i * 3 + 2] = blue[i];
  }
  const GlyphEdges edges{geometry.outline, look.outlineColor, geometry.shadow, look.shadowColor};
  Overlay overlay = Overlay::FromGlyphs(geometry.width / geometry.scale,
                                        geometry.height / geometry.scale, coverage, rgb, edges);
  overlay.SetInset(geometry.margin / geometry.scale);
  return overlay;
}

}  // namespace

Overlay GdiCueRasterizer::Rasterize(const Cue& cue, int pictureWidth, int pictureHeight) {
  if (!m_fonts.Dc() || pictureWidth <= 0 || pictureHeight <= 0) return {};
  Geometry geometry = Measure(m_fonts, cue, pictureHeight);
  const double widthShare = 1 - cue.placement.marginLeft - cue.placement.marginRight;
  const int textWidth = std::max(
      1, static_cast<int>(pictureWidth * widthShare) * geometry.scale - 2 * geometry.margin);
  const std::vector<PlacedLine> lines = LayOutCue(cue.lines, textWidth, m_fonts);
  FitDrawing(lines, pictureWidth, pictureHeight, geometry);
  if (geometry.width <= 0 || geometry.height <= 0) return {};
  return Paint(m_fonts, lines, geometry, cue.look);
}
