#include "standins/AviTestStreams.h"

AviStreamInfo TestVideo(uint32_t compression, int width, int height, int bits,
                        int64_t frameDuration) {
  AviStreamInfo info;
  info.kind = AviStreamInfo::Kind::kVideo;
  info.handler = compression;
  info.compressed = compression != 0;
  info.frameDuration = frameDuration;
  info.width = width;
  info.height = height;
  const uint32_t image = static_cast<uint32_t>(width * height * bits / 8);
  RiffBytes header;  // BITMAPINFOHEADER
  for (uint32_t field : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height)})
    header.U32(field);
  header.U16(1);
  header.U16(static_cast<uint16_t>(bits));
  for (uint32_t field : {compression, image, 0u, 0u, 0u, 0u}) header.U32(field);
  info.format = header.Data();
  return info;
}

AviStreamInfo TestPcm(uint32_t samplesPerSecond, int channels, int bits) {
  AviStreamInfo info;
  info.kind = AviStreamInfo::Kind::kAudio;
  info.blockAlign = static_cast<uint32_t>(channels * bits / 8);
  info.bytesPerSecond = samplesPerSecond * info.blockAlign;
  RiffBytes format;  // WAVEFORMATEX
  format.U16(1);
  format.U16(static_cast<uint16_t>(channels));
  format.U32(samplesPerSecond);
  format.U32(info.bytesPerSecond);
  format.U16(static_cast<uint16_t>(info.blockAlign));
  format.U16(static_cast<uint16_t>(bits));
  format.U16(0);
  info.format = format.Data();
  return info;
}
