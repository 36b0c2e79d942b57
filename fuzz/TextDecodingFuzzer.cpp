// Subtitle bytes in any encoding into UTF-8: always valid UTF-8 out; UTF-8 in
// comes out unchanged; the ANSI decoder gets the bytes after a byte order mark.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/CueChecks.h"
#include "standins/subtitles/TextDecoding.h"

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string text = DecodeToUtf8(bytes, {});
  Require(IsValidUtf8(text));
  std::string_view askedFor;
  const std::string viaAnsi = DecodeToUtf8(bytes, [&askedFor](std::string_view ansi) {
    askedFor = ansi;
    return std::string("ansi");
  });
  switch (DetectEncoding(bytes)) {
    case TextEncoding::kUtf8:
      Require(text == bytes && viaAnsi == text);
      break;
    case TextEncoding::kUtf8WithBom:
      if (IsValidUtf8(bytes.substr(3)))
        Require(text == bytes.substr(3) && viaAnsi == text);
      else
        Require(viaAnsi == "ansi" && askedFor == bytes.substr(3));
      break;
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be:
      Require(text.size() <= (size - 2) / 2 * 3 && viaAnsi == text);
      break;
    case TextEncoding::kAnsi:
      Require(viaAnsi == "ansi" && askedFor == bytes);
      break;
  }
  for (size_t at = 0; at < size;) {
    const size_t length = Utf8SequenceLength(bytes, at);
    Require(length >= 1 && length <= 4 && at + length <= size);
    at += length;
  }
  return 0;
}
