// The Matroska multiplexer stand-in's DLL: a COM server only, so that
// RenderFile never picks it; the capture graph builder creates it by its class.

#include "standins/base/Module.h"
#include "standins/mkv/MatroskaMux.h"

namespace {

const standin::ClassEntry kClasses[] = {
    {&kMatroskaMuxClsid, L"Matroska Multiplexer (stand-in)", standin::CreateObject<MatroskaMux>,
     nullptr, nullptr},
};

}  // namespace

const standin::ClassTable& standin::DllClasses() {
  static const ClassTable table{kClasses, sizeof kClasses / sizeof kClasses[0]};
  return table;
}
