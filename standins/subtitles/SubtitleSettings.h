#pragma once
// The filter's settings in the current user's registry, where the program
// looks for them: Software\Tovrick\VSFilter\General, "LoadLevel".

#include <windows.h>

enum class LoadLevel {
  kAlways,         // 0 or no value: the filter joins every graph
  kWithSubtitles,  // 1: only where a subtitle file for the source is found
  kNever,          // 2 or any other value
};

LoadLevel ReadLoadLevel();
// As an installer would: the key with "LoadLevel" 0, when the key is absent.
HRESULT CreateDefaultSettings();
