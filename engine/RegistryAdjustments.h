#pragma once
// Settings of separately installed components in the current user's
// registry: the subtitle filter's load level, held at 1 while the program
// runs so that the filter joins every rendered graph, and the DivX encoder's
// feedback switch. Keys are never created; a value is written back with the
// type that reading it returned; failures leave the registry as it was and are
// not reported.

#include <windows.h>

inline constexpr char kSubtitleFilterKey[] = "Software\\Tovrick\\VSFilter\\General";
inline constexpr char kLoadLevelValue[] = "LoadLevel";
inline constexpr char kEncoderKey[] = "Software\\DivXNetworks\\DivX4Windows";
inline constexpr char kDisableFeedbackValue[] = "Disable feedback";

// The user's "LoadLevel" while the program holds it at 1. Instances of the
// program that run at once share the hold: the first to start keeps the
// user's value, and the last to close puts it back, so that none takes the
// level from under another that still converts.
struct SavedLoadLevel {
  DWORD value = 0;        // as read by the first instance
  bool changed = false;   // 1 was written over it: value goes back at close
  HANDLE hold = nullptr;  // this instance's part of the shared hold; closed by the restore
};

// Sets "LoadLevel" to 1 when it is another value and no other instance holds
// it; saved gets the value that the first holder read, and changed when it
// wrote 1.
void ForceSubtitleLoadLevel(SavedLoadLevel& saved);
// Puts the saved value back when it was changed and no other instance holds
// it any more; clears changed.
void RestoreSubtitleLoadLevel(SavedLoadLevel& saved);
// Sets the first byte of "Disable feedback" to 1, keeping its type and size.
void DisableEncoderFeedback();
