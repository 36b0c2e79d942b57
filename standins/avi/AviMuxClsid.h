#pragma once
// The AVI multiplexer stand-in's class, which the capture graph builder
// stand-in creates for MEDIASUBTYPE_Avi.

#include <guiddef.h>

// {6B1F2D0C-8E47-4C2B-A7E3-5D09C41A7E21}
constexpr CLSID kAviMuxClsid = {
    0x6b1f2d0c, 0x8e47, 0x4c2b, {0xa7, 0xe3, 0x5d, 0x09, 0xc4, 0x1a, 0x7e, 0x21}};
