#pragma once
// The class factory that DllGetClassObject hands out for one class entry.

#include "standins/base/Module.h"

namespace standin {

// A new factory (one reference) for entry, queried for riid.
HRESULT CreateClassFactory(const ClassEntry& entry, REFIID riid, void** object);

}  // namespace standin
