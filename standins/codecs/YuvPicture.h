#pragma once
// A picture as three planes of 8-bit samples, full range (JFIF): Y at full
// size, Cb and Cr halved in width, and in height too for 4:2:0. No Windows
// headers: built natively too.

#include <cstddef>
#include <cstdint>
#include <vector>

enum class ChromaSampling { k420, k422 };

class YuvPicture {
 public:
  static constexpr int kLuma = 0;
  static constexpr int kCb = 1;
  static constexpr int kCr = 2;

  // Sizes the planes for a width x height picture (both 1 or more); the
  // samples are left as they were.
  void Resize(int width, int height, ChromaSampling sampling);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  ChromaSampling Sampling() const { return m_sampling; }
  // Of plane (kLuma, kCb, kCr); rows are PlaneWidth samples apart.
  int PlaneWidth(int plane) const { return plane == kLuma ? m_width : (m_width + 1) / 2; }
  int PlaneHeight(int plane) const;
  uint8_t* Row(int plane, int y) { return &m_planes[plane][RowOffset(plane, y)]; }
  const uint8_t* Row(int plane, int y) const { return &m_planes[plane][RowOffset(plane, y)]; }

 private:
  size_t RowOffset(int plane, int y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(PlaneWidth(plane));
  }

  int m_width = 0;
  int m_height = 0;
  ChromaSampling m_sampling = ChromaSampling::k420;
  std::vector<uint8_t> m_planes[3];
};
