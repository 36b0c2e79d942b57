#pragma once
// The output container formats, and how an output path is made to carry the
// extension of its format.

#include <windows.h>

#include <cstdint>
#include <string>

// The position in the Output options dialog's format list. Values outside
// 0..3 occur (a list without selection gives -1) and are refused where a file
// name is needed.
enum class OutputFormat : int32_t { Avi = 0, Wmv = 1, Mkv = 2, Asf = 3 };

constexpr int kOutputFormatCount = 4;

bool IsKnownFormat(OutputFormat format);
// "AVI", "WMV", "MKV", "ASF"; nullptr for another value.
const char* FormatListText(OutputFormat format);

// The save dialog's filter for the format: description, NUL, pattern, NUL NUL.
// An unknown format gives the empty filter.
std::string FormatFilter(OutputFormat format);

// Gives path the extension of format: a dot in the last path component and
// what follows it are replaced. Fails with a message (no owner window) when the
// format has no extension or the result would not fit a 260-character path
// buffer; destination is then unchanged.
bool ApplyFormatExtension(OutputFormat format, const char* path, std::string& destination);

// The message that refuses a path longer than 259 characters (output or source).
extern const char kPathTooLong[];

// The file-save dialog of the Output options dialog's Browse button. The
// initial folder comes from openedWithPath, the output path the dialog was
// opened with. When the user confirms, field receives the chosen path with the
// format's extension and the result is true.
bool BrowseOutputPath(HWND owner, OutputFormat format, const char* openedWithPath,
                      std::string& field);
