// The capture graph builder stand-in's DLL. Registered, its class wins over
// Wine's for CoCreateInstance; Wine's prefix update puts Wine's back, so the
// scripts register it after every build.

#include "standins/base/Module.h"
#include "standins/capture/CaptureGraphBuilder.h"

namespace {

const standin::ClassEntry kClasses[] = {
    {&CLSID_CaptureGraphBuilder2, L"Capture Graph Builder 2 (stand-in)",
     CaptureGraphBuilder::Create, nullptr, nullptr},
};

}  // namespace

const standin::ClassTable& standin::DllClasses() {
  static const ClassTable table{kClasses, sizeof kClasses / sizeof kClasses[0]};
  return table;
}
