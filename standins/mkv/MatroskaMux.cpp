#include "standins/mkv/MatroskaMux.h"

#include "standins/mkv/MatroskaWriter.h"

namespace {

std::unique_ptr<ContainerWriter> CreateMatroskaWriter(FileSink& sink,
                                                      std::vector<StreamInfo> streams) {
  return std::make_unique<MatroskaWriter>(sink, std::move(streams));
}

// DirectShow names no subtype for Matroska files. Matroska readers take the
// rows of V_MS/VFW/FOURCC pictures top-down, so RGB is refused.
const MuxFormat kMatroskaFormat = {&kMatroskaMuxClsid, &GUID_NULL, false, CreateMatroskaWriter};

}  // namespace

MatroskaMux::MatroskaMux(SinkOpener opener) : Multiplexer(kMatroskaFormat, std::move(opener)) {}
