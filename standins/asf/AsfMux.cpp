#include "standins/asf/AsfMux.h"

#include <uuids.h>

#include <cstring>

#include "standins/asf/AsfWriter.h"

namespace {

// A new file ID and the time now, for the file's properties.
AsfWriter::Options NewFileOptions() {
  AsfWriter::Options options;
  GUID id = GUID_NULL;
  CoCreateGuid(&id);
  options.fileId.data1 = id.Data1;
  options.fileId.data2 = id.Data2;
  options.fileId.data3 = id.Data3;
  static_assert(sizeof options.fileId.data4 == sizeof id.Data4);
  memcpy(options.fileId.data4, id.Data4, sizeof id.Data4);
  FILETIME now = {};
  GetSystemTimeAsFileTime(&now);
  options.creationTime = uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime;
  return options;
}

std::unique_ptr<ContainerWriter> CreateAsfWriter(FileSink& sink, std::vector<StreamInfo> streams) {
  return std::make_unique<AsfWriter>(sink, std::move(streams), NewFileOptions());
}

// ASF readers take the rows of pictures top-down, so RGB is refused.
const MuxFormat kAsfFormat = {&kAsfMuxClsid, &MEDIASUBTYPE_Asf, false, CreateAsfWriter};

}  // namespace

AsfMux::AsfMux(SinkOpener opener) : Multiplexer(kAsfFormat, std::move(opener)) {}
