#pragma once
// Silence in a stream's own sound format, where it has one: integer PCM, and
// IMA ADPCM, whose block of zeros decodes to silence. No Windows headers:
// built natively too.

#include <cstdint>
#include <optional>

struct StreamInfo;

// Sound that strays less from its times is taken as it comes; 100 ns units.
constexpr int64_t kSoundSlack = 50000;
// Silence written for one gap at most: an hour. A larger jump in time is
// taken as a fault of the times, not as a gap.
constexpr int64_t kMaxSilence = 36000000000;

// The byte that silence is made of, or none for a format without one.
std::optional<uint8_t> SilentByte(const StreamInfo& info);
// The bytes of the whole blocks of sound nearest to duration (100 ns units).
uint64_t SoundBytesFor(const StreamInfo& info, int64_t duration);
// How much silence a piece holds at most: about a second of whole blocks.
uint64_t SilencePieceBytes(const StreamInfo& info);
