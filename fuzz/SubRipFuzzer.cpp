// SubRip files of any bytes, read as the subtitle filter reads them (the ANSI
// code page taken as Latin-1).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/CueChecks.h"
#include "standins/subtitles/SubtitleText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fuzz::CheckCues(ReadSubtitleText(bytes, SubtitleFormat::kSubRip, {}));
  return 0;
}
