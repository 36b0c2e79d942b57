#include "standins/asf/AsfHeaders.h"

#include <numeric>
#include <string>

#include "standins/asf/AsfGuids.h"

namespace {

constexpr size_t kWaveFormatBytes = 16;  // WAVEFORMATEX without cbSize
constexpr size_t kWaveFormatExBytes = 18;
constexpr size_t kBitmapHeaderBytes = 40;
constexpr uint32_t kBroadcastFlag = 0x01;
constexpr uint32_t kSeekableFlag = 0x02;

void AppendFileProperties(AsfBytes& out, const AsfFileProperties& file) {
  const size_t object = out.Begin(asf::kFilePropertiesObject);
  out.Guid(file.fileId);
  out.U64(file.fileSize);
  out.U64(file.creationTime);
  out.U64(file.packets);
  out.U64(file.playDuration);
  out.U64(file.sendDuration);
  out.U64(file.prerollMs);
  out.U32((file.broadcast ? kBroadcastFlag : 0) | (file.seekable ? kSeekableFlag : 0));
  out.U32(file.packetBytes);  // fixed-size packets: the least and the most
  out.U32(file.packetBytes);
  out.U32(file.maxBitrate);
  out.End(object);
}

// WAVEFORMATEX, its cbSize made to count the bytes that follow.
void AppendAudioFormat(AsfBytes& out, const std::vector<uint8_t>& format) {
  out.Append(format.data(), kWaveFormatBytes);
  const size_t extra = format.size() > kWaveFormatExBytes ? format.size() - kWaveFormatExBytes : 0;
  out.U16(static_cast<uint16_t>(extra));
  if (extra > 0) out.Append(format.data() + kWaveFormatExBytes, extra);
}

void AppendVideoFormat(AsfBytes& out, const StreamInfo& info) {
  out.U32(static_cast<uint32_t>(info.width));
  out.U32(static_cast<uint32_t>(info.height));
  out.U8(2);  // reserved flags
  out.U16(static_cast<uint16_t>(info.format.size()));
  out.Append(info.format.data(), info.format.size());
}

void AppendStreamProperties(AsfBytes& out, const StreamInfo& info, uint16_t number) {
  const bool video = info.kind == StreamInfo::Kind::kVideo;
  AsfBytes specific;
  if (video)
    AppendVideoFormat(specific, info);
  else
    AppendAudioFormat(specific, info.format);
  const size_t object = out.Begin(asf::kStreamPropertiesObject);
  out.Guid(video ? asf::kVideoMedia : asf::kAudioMedia);
  out.Guid(asf::kNoErrorCorrection);
  out.U64(0);  // time offset
  out.U32(static_cast<uint32_t>(specific.Size()));
  out.U32(0);  // error correction data
  out.U16(number);
  out.U32(0);  // reserved
  out.Append(specific.Data().data(), specific.Size());
  out.End(object);
}

// A Metadata Object description record whose value is a DWORD.
void AppendDwordRecord(AsfBytes& out, uint16_t stream, const char16_t* name, uint32_t value) {
  const std::u16string text(name);
  out.U16(0);  // language list index
  out.U16(stream);
  out.U16(static_cast<uint16_t>((text.size() + 1) * 2));  // bytes, the terminator included
  out.U16(3);                                             // DWORD
  out.U32(4);
  for (char16_t unit : text) out.U16(unit);
  out.U16(0);
  out.U32(value);
}

// The pixel aspect ratio of each video stream whose picture has a display
// aspect ratio, as Windows Media's AspectRatioX and AspectRatioY.
void AppendMetadata(AsfBytes& out, const std::vector<StreamInfo>& streams) {
  AsfBytes records;
  uint16_t count = 0;
  for (size_t i = 0; i < streams.size(); ++i) {
    const StreamInfo& info = streams[i];
    if (info.kind != StreamInfo::Kind::kVideo || info.aspectX == 0) continue;
    uint64_t x = uint64_t{info.aspectX} * static_cast<uint64_t>(info.height);
    uint64_t y = uint64_t{info.aspectY} * static_cast<uint64_t>(info.width);
    const uint64_t divisor = std::gcd(x, y);
    AppendDwordRecord(records, static_cast<uint16_t>(i + 1), u"AspectRatioX",
                      static_cast<uint32_t>(x / divisor));
    AppendDwordRecord(records, static_cast<uint16_t>(i + 1), u"AspectRatioY",
                      static_cast<uint32_t>(y / divisor));
    count += 2;
  }
  if (count == 0) return;
  const size_t object = out.Begin(asf::kMetadataObject);
  out.U16(count);
  out.Append(records.Data().data(), records.Size());
  out.End(object);
}

void AppendHeaderExtension(AsfBytes& out, const std::vector<StreamInfo>& streams) {
  AsfBytes extensions;
  AppendMetadata(extensions, streams);
  const size_t object = out.Begin(asf::kHeaderExtensionObject);
  out.Guid(asf::kReserved1);
  out.U16(6);  // reserved
  out.U32(static_cast<uint32_t>(extensions.Size()));
  out.Append(extensions.Data().data(), extensions.Size());
  out.End(object);
}

}  // namespace

bool AsfCanDescribe(const StreamInfo& info) {
  if (info.kind == StreamInfo::Kind::kAudio) return info.format.size() >= kWaveFormatBytes;
  return info.width > 0 && info.height > 0 && info.format.size() >= kBitmapHeaderBytes &&
         info.format.size() <= 0xFFFF;
}

void AppendAsfHeader(AsfBytes& out, const AsfFileProperties& file,
                     const std::vector<StreamInfo>& streams) {
  const size_t header = out.Begin(asf::kHeaderObject);
  out.U32(static_cast<uint32_t>(streams.size() + 2));
  out.U8(1);  // reserved
  out.U8(2);  // reserved: readers refuse another value
  AppendFileProperties(out, file);
  for (size_t i = 0; i < streams.size(); ++i)
    AppendStreamProperties(out, streams[i], static_cast<uint16_t>(i + 1));
  AppendHeaderExtension(out, streams);
  out.End(header);
}

void AppendAsfDataHead(AsfBytes& out, const AsfGuid& fileId, uint64_t objectSize,
                       uint64_t packets) {
  out.Guid(asf::kDataObject);
  out.U64(objectSize);
  out.Guid(fileId);
  out.U64(packets);
  out.U16(0x0101);  // reserved
}

void AppendAsfSimpleIndex(AsfBytes& out, const AsfGuid& fileId, uint64_t interval,
                          const std::vector<AsfIndexEntry>& entries) {
  uint16_t mostPackets = 0;
  for (const AsfIndexEntry& entry : entries)
    if (entry.count > mostPackets) mostPackets = entry.count;
  const size_t object = out.Begin(asf::kSimpleIndexObject);
  out.Guid(fileId);
  out.U64(interval);
  out.U32(mostPackets);
  out.U32(static_cast<uint32_t>(entries.size()));
  for (const AsfIndexEntry& entry : entries) {
    out.U32(entry.packet);
    out.U16(entry.count);
  }
  out.End(object);
}
