#pragma once
// The subtitle file of a video: beside it, with its name and the extension
// .srt, .ass or .ssa (in that order), else name.<language>.srt.

#include <string>

#include "standins/subtitles/CueList.h"

// The subtitle file's path, or empty when there is none.
std::wstring FindSubtitleFile(const std::wstring& videoPath);

// The cues of a subtitle file; empty when it cannot be read. Files larger than
// any subtitle file are read as far as a limit.
CueList LoadSubtitleFile(const std::wstring& path);
