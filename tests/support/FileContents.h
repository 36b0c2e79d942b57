#pragma once
// What a test reads of a file on disk.

#include <cstdint>
#include <string>

bool Exists(const std::string& path);
// The whole file as bytes; "" when it cannot be read.
std::string ReadFile(const std::string& path);
// The file's size in bytes; 0 when it is not there.
uint64_t FileBytes(const std::string& path);
