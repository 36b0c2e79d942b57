#pragma once
// The escapes of a language file's texts. Nothing here needs Windows: the
// caller names the lead bytes of the file's code page.

#include <bitset>
#include <string>
#include <string_view>

// The bytes that start a double-byte character; none for single-byte and
// UTF-8 texts.
using LeadBytes = std::bitset<256>;

// Tab, line feed and carriage return for \t, \n and \r, in three passes in
// that order; there is no escape for the backslash itself. A double-byte
// character stays whole, even when its second byte is a backslash.
std::string UnescapeLanguageText(std::string_view text, const LeadBytes& leadBytes);
