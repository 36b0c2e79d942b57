#pragma once
// Draws the cues that show at a frame's time into it, each where its
// placement says (CuePlacer): by default centred near the bottom, later cues
// stacked above earlier ones. A cue is rasterised and placed when it first
// shows, and reused until it no longer shows; the rasterizer is told which
// cue comes next, so that it may make it ahead.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "standins/subtitles/CueList.h"
#include "standins/subtitles/Overlay.h"
#include "standins/subtitles/PlacedOverlay.h"

class CueRasterizer;
struct PictureLayout;

class SubtitlePainter {
 public:
  SubtitlePainter(CueList cues, std::unique_ptr<CueRasterizer> rasterizer);
  ~SubtitlePainter();

  const CueList& Cues() const { return m_cues; }

  // time: the frame's presentation time, 100 ns units. False, with the frame
  // untouched, when no cue shows then.
  bool Paint(int64_t time, const PictureLayout& layout, uint8_t* frame);

 private:
  struct Drawing {
    Overlay overlay;
    std::optional<PlacedOverlay> placed;  // where it was drawn last
  };

  Drawing& DrawingOf(size_t cue, int pictureWidth, int pictureHeight);
  void ForgetHidden(int pictureWidth, int pictureHeight);
  void ExpectNext(int64_t time, int pictureWidth, int pictureHeight);

  CueList m_cues;
  std::unique_ptr<CueRasterizer> m_rasterizer;
  std::vector<size_t> m_showing;         // cue indices, in start order
  std::map<size_t, Drawing> m_drawings;  // by cue index, for the picture size below
  int m_pictureWidth = 0;
  int m_pictureHeight = 0;
  size_t m_expected = SIZE_MAX;  // the cue the rasterizer was last told of
};
