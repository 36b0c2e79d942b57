#pragma once
// The ASF multiplexer and file writer, of the class the program asks the
// capture graph builder for when it writes ASF.

#include <guiddef.h>

#include "standins/mux/Multiplexer.h"

// {6432C990-68CD-4913-98FE-C20322E042C0}
constexpr CLSID kAsfMuxClsid = {
    0x6432c990, 0x68cd, 0x4913, {0x98, 0xfe, 0xc2, 0x03, 0x22, 0xe0, 0x42, 0xc0}};

class AsfMux final : public Multiplexer {
 public:
  AsfMux() : AsfMux(OpenWin32File) {}
  explicit AsfMux(SinkOpener opener);
};
