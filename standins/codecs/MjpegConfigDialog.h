#pragma once
// The MJPEG codec's configuration dialog (ICM_CONFIGURE): the quality and the
// chroma sampling.

#include <windows.h>

#include "standins/codecs/MjpegSettings.h"

// Shows the dialog owned by owner, starting from settings. True when the user
// confirmed it; settings then holds the choice (a quality outside 1..100 is
// brought into it).
bool RunMjpegConfigDialog(HWND owner, MjpegSettings& settings);
