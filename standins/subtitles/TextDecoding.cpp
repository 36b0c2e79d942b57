#include "standins/subtitles/TextDecoding.h"

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

uint8_t Byte(std::string_view text, size_t at) { return static_cast<uint8_t>(text[at]); }

bool IsContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

// The length of a well-formed sequence at text[at], or 0 when it is not one
// (overlong forms, surrogates and values above U+10FFFF are not).
size_t WellFormedLength(std::string_view text, size_t at) {
  const uint8_t lead = Byte(text, at);
  if (lead < 0x80) return 1;
  size_t length = 0;
  uint32_t minimum = 0;
  uint32_t value = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, minimum = 0x80, value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, minimum = 0x800, value = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, minimum = 0x10000, value = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if (!IsContinuation(Byte(text, at + i))) return 0;
    value = value << 6 | (Byte(text, at + i) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  return length;
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  auto unitAt = [&](size_t i) -> uint32_t {
    const uint32_t first = Byte(bytes, i);
    const uint32_t second = Byte(bytes, i + 1);
    return bigEndian ? (first << 8 | second) : (second << 8 | first);
  };
  const size_t units = bytes.size() / 2;  // an odd last byte is a truncated unit: dropped
  for (size_t i = 0; i < units; ++i) {
    const uint32_t unit = unitAt(i * 2);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
      const uint32_t low = unitAt((i + 1) * 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, (unit >= 0xD800 && unit <= 0xDFFF) ? kReplacement : unit);
  }
  return out;
}

std::string DecodeLatin1(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) AppendUtf8(out, static_cast<uint8_t>(c));
  return out;
}

}  // namespace

TextEncoding DetectEncoding(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return TextEncoding::kUtf8WithBom;
  if (StartsWith(bytes, "\xFF\xFE")) return TextEncoding::kUtf16Le;
  if (StartsWith(bytes, "\xFE\xFF")) return TextEncoding::kUtf16Be;
  return IsValidUtf8(bytes) ? TextEncoding::kUtf8 : TextEncoding::kAnsi;
}

std::string DecodeToUtf8(std::string_view bytes, const AnsiDecoder& ansi) {
  switch (DetectEncoding(bytes)) {
    case TextEncoding::kUtf8WithBom:
      bytes.remove_prefix(3);
      // A file that claims UTF-8 but is not is cleaned rather than trusted.
      if (IsValidUtf8(bytes)) return std::string(bytes);
      return ansi ? ansi(bytes) : DecodeLatin1(bytes);
    case TextEncoding::kUtf16Le:
      return DecodeUtf16(bytes.substr(2), false);
    case TextEncoding::kUtf16Be:
      return DecodeUtf16(bytes.substr(2), true);
    case TextEncoding::kUtf8:
      return std::string(bytes);
    case TextEncoding::kAnsi:
      break;
  }
  return ansi ? ansi(bytes) : DecodeLatin1(bytes);
}

bool IsValidUtf8(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    const size_t length = WellFormedLength(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

void AppendUtf8(std::string& out, uint32_t codePoint) {
  if (codePoint > 0x10FFFF) codePoint = kReplacement;
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | codePoint >> 6);
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | codePoint >> 12);
    out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | codePoint >> 18);
    out += static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

size_t Utf8SequenceLength(std::string_view text, size_t at) {
  const size_t length = WellFormedLength(text, at);
  return length == 0 ? 1 : length;
}
