#pragma once
// The Windows Media Format runtime's profile manager, reached at run time: a
// machine without the runtime gets a failure code instead of a program that
// does not start.

#include "engine/PlatformDeclarations.h"

// WMCreateProfileManager of wmvcore.dll.
HRESULT CreateProfileManager(IWMProfileManager** manager);
// The same from the named module.
HRESULT CreateProfileManagerFrom(const char* moduleName, IWMProfileManager** manager);
