#pragma once
// The Matroska multiplexer and file writer, of the class the program asks the
// capture graph builder for when it writes MKV.

#include <guiddef.h>

#include "standins/mux/Multiplexer.h"

// {A28F324B-DDC5-4999-AA25-D3A7E25EF7A8}
constexpr CLSID kMatroskaMuxClsid = {
    0xa28f324b, 0xddc5, 0x4999, {0xaa, 0x25, 0xd3, 0xa7, 0xe2, 0x5e, 0xf7, 0xa8}};

class MatroskaMux final : public Multiplexer {
 public:
  MatroskaMux() : MatroskaMux(OpenWin32File) {}
  explicit MatroskaMux(SinkOpener opener);
};
