#include "standins/codecs/YuvPicture.h"

void YuvPicture::Resize(int width, int height, ChromaSampling sampling) {
  m_width = width;
  m_height = height;
  m_sampling = sampling;
  for (int plane = kLuma; plane <= kCr; ++plane)
    m_planes[plane].resize(static_cast<size_t>(PlaneWidth(plane)) *
                           static_cast<size_t>(PlaneHeight(plane)));
}

int YuvPicture::PlaneHeight(int plane) const {
  if (plane == kLuma || m_sampling == ChromaSampling::k422) return m_height;
  return (m_height + 1) / 2;
}
