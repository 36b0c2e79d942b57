#pragma once
// What a program's version resource says, and which build a test belongs to.

#include <string>

// 64 or 32: the build of this test executable as its compiler made it,
// whatever the resources claim.
constexpr int kThisBuildBits = sizeof(void*) * 8;
// "64-bit" or "32-bit", as the About box and the release name the build.
inline std::string ThisBuild() { return std::to_string(kThisBuildBits) + "-bit"; }

// "major.minor.build.revision" of the file's fixed version, or "<none>".
std::string FileVersion(const std::string& file);
// A value of the file's US English string table ("FileDescription"), or "<none>".
std::string VersionString(const std::string& file, const char* name);
