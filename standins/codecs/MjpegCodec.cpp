#include "standins/codecs/MjpegCodec.h"

#include <algorithm>

MjpegCodec::MjpegCodec(const MjpegSettings& settings) : m_encoder(settings.quality) {
  SetSettings(settings);
}

void MjpegCodec::SetSettings(const MjpegSettings& settings) {
  m_settings = settings;
  m_settings.quality = std::clamp(settings.quality, 1, 100);
  if (m_encoder.Quality() != m_settings.quality) m_encoder = JpegEncoder(m_settings.quality);
}

size_t MjpegCodec::MaxFrameSize(int width, int height) {
  return std::max(JpegEncoder::MaxEncodedSize(width, height, ChromaSampling::k420),
                  JpegEncoder::MaxEncodedSize(width, height, ChromaSampling::k422));
}

bool MjpegCodec::Compress(const SourcePicture& picture, std::vector<uint8_t>& out, int quality) {
  if (!ConvertToYuv(picture, m_settings.sampling, m_yuv)) return false;
  if (quality <= 0 || quality == m_settings.quality) return m_encoder.Encode(m_yuv, out);
  return JpegEncoder(quality).Encode(m_yuv, out);
}
