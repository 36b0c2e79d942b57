#pragma once
// What makes a multiplexer of one file format: its class, the file type it
// names, and the writer that lays the file out.

#include <guiddef.h>

#include <memory>
#include <vector>

#include "standins/mux/StreamInfo.h"

class ContainerWriter;
class FileSink;

struct MuxFormat {
  const CLSID* clsid;
  const GUID* fileType;  // the subtype IFileSinkFilter::GetCurFile gives
  // Whether the format's readers keep RGB pictures bottom-up, as their
  // BITMAPINFOHEADER says; where not, RGB is refused and upstream offers YUV.
  bool bottomUpRgb;
  // A writer over sink (which outlives it) for these streams, or nullptr when
  // out of memory.
  std::unique_ptr<ContainerWriter> (*createWriter)(FileSink& sink, std::vector<StreamInfo> streams);
};
