#pragma once
// Subtitle files come as UTF-8 (with or without a byte order mark), UTF-16
// with a byte order mark, or in the ANSI code page of the machine that wrote
// them. Everything is turned into UTF-8 here.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Turns text in the ANSI code page into UTF-8. Empty: bytes are read as Latin-1.
using AnsiDecoder = std::function<std::string(std::string_view)>;

enum class TextEncoding { kUtf8, kUtf8WithBom, kUtf16Le, kUtf16Be, kAnsi };

TextEncoding DetectEncoding(std::string_view bytes);
std::string DecodeToUtf8(std::string_view bytes, const AnsiDecoder& ansi);

bool IsValidUtf8(std::string_view text);
void AppendUtf8(std::string& out, uint32_t codePoint);
// Byte length of the UTF-8 sequence that starts at text[at] (1 for a stray byte).
size_t Utf8SequenceLength(std::string_view text, size_t at);
