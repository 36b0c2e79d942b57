#pragma once
// The AVI multiplexer and file writer: the multiplexer of an OpenDML AVI.

#include "standins/mux/Multiplexer.h"

class AviMux final : public Multiplexer {
 public:
  AviMux() : AviMux(OpenWin32File) {}
  explicit AviMux(SinkOpener opener);
};
