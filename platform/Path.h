#pragma once
// Path helpers for narrow paths in the ANSI code page. Separators are searched
// character by character in the multi-byte sense, so a trail byte that equals
// '\\' in a double-byte code page is never taken for one.

#include <string>

namespace path {

// Paths live in buffers of this many characters (259 plus the terminator).
constexpr size_t kMaxPath = 260;

// The last backslash of the text, or nullptr.
const char* LastBackslash(const char* p);
// The last backslash or slash: where the last path component begins.
const char* LastSeparator(const char* p);

// The text up to and including its last backslash; empty without one.
std::string FolderOf(const char* p);
// The file name with its extension: what follows the drive and the last
// backslash or slash. Empty for an empty path or one that ends in a separator.
std::string FileNameOf(const char* p);

// True when the file name without its extension holds something: false for
// "", "c:\\out\\" or "c:\\out\\.avi".
bool HasFileName(const char* p);
// True when the path holds a '?', which no file name can: what the ANSI code
// page puts for a character it lacks (a Japanese name in a Western system).
bool HoldsUnusableCharacters(const char* p);
// The full path against the current folder; p itself when it has none.
std::string FullPathOf(const char* p);
// True when a and b name one file: their full paths are equal without regard
// to case, or both files exist and have the same volume and file index (a
// short name, another spelling, a link). False when either is empty.
bool NamesSameFile(const char* a, const char* b);

// True when p names a file that can be opened for reading (not a folder); no
// system error boxes.
bool FileExists(const char* p);

// The folder of this executable, without a trailing backslash.
std::string ModuleFolder();
// This executable's file name without its extension.
std::string ModuleBaseName();

}  // namespace path
