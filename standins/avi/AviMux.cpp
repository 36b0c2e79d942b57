#include "standins/avi/AviMux.h"

#include <uuids.h>

#include "standins/avi/AviMuxClsid.h"
#include "standins/avi/AviWriter.h"

namespace {

std::unique_ptr<ContainerWriter> CreateAviWriter(FileSink& sink, std::vector<StreamInfo> streams) {
  return std::make_unique<AviWriter>(sink, std::move(streams));
}

const MuxFormat kAviFormat = {&kAviMuxClsid, &MEDIASUBTYPE_Avi, true, CreateAviWriter};

}  // namespace

AviMux::AviMux(SinkOpener opener) : Multiplexer(kAviFormat, std::move(opener)) {}
