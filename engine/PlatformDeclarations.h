#pragma once
// Platform identifiers and interfaces that the mingw-w64 headers lack,
// declared once from their documented values. Each one is declared here and
// nowhere else.

#include <dshow.h>

// Source probing: IBasicVideo's identifier, for ComPtr::As.
#if defined(__MINGW32__)
__CRT_UUID_DECL(IBasicVideo, 0x56a868b5, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7,
                0x70)
#endif
