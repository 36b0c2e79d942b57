#pragma once
// Platform identifiers and interfaces that the mingw-w64 headers lack,
// declared once from their documented values. Each one is declared here and
// nowhere else.

#include <dshow.h>
