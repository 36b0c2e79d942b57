#pragma once
// Big-endian EBML building blocks: element IDs, variable-size integers and a
// byte buffer that lays out elements. No Windows headers: built natively too.

#include <cstddef>
#include <cstdint>
#include <string>

#include "standins/mux/ByteBuilder.h"

// The largest size an EBML size field holds; all ones means "unknown".
constexpr uint64_t kEbmlMaxSize = (1ull << 56) - 2;

// The bytes of an 8-byte size field holding size (at most kEbmlMaxSize), or
// "unknown" for kEbmlUnknownSize.
constexpr uint64_t kEbmlUnknownSize = ~0ull;
void PutEbmlSize8(uint8_t* field, uint64_t size);

// Only EBML's own writers show: its integers are big-endian.
class EbmlBytes : private ByteBuilder {
 public:
  using ByteBuilder::Append;
  using ByteBuilder::Data;
  using ByteBuilder::Size;

  // An element ID with its length marker, as Matroska writes IDs (0x1A45DFA3).
  void Id(uint32_t id);
  // A size field in as few bytes as it takes.
  void Size(uint64_t size);
  // A size field of 8 bytes, which may be patched later.
  void Size8(uint64_t size);

  void Uint(uint32_t id, uint64_t value);
  // An unsigned integer in 8 bytes, which may be patched later in place.
  void Uint8Bytes(uint32_t id, uint64_t value);
  void Float(uint32_t id, double value);
  void String(uint32_t id, const std::string& text);
  void Binary(uint32_t id, const void* data, size_t size);
  // A Void element of exactly totalBytes (at least 2).
  void Void(uint64_t totalBytes);

  // Starts a master element with an 8-byte size field and gives its place for
  // End, which fills the size in.
  size_t Begin(uint32_t id);
  void End(size_t sizeField);
};
