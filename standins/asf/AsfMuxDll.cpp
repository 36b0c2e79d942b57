// The ASF multiplexer stand-in's DLL: a COM server only, so that RenderFile
// never picks it; the capture graph builder creates it by its class.

#include "standins/asf/AsfMux.h"
#include "standins/base/Module.h"

namespace {

const standin::ClassEntry kClasses[] = {
    {&kAsfMuxClsid, L"ASF Multiplexer (stand-in)", standin::CreateObject<AsfMux>, nullptr, nullptr},
};

}  // namespace

const standin::ClassTable& standin::DllClasses() {
  static const ClassTable table{kClasses, sizeof kClasses / sizeof kClasses[0]};
  return table;
}
