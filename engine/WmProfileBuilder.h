#pragma once
// Windows Media profiles for the WM ASF Writer: built from stream descriptions
// and the formats that the installed Windows Media codecs offer, or loaded
// from profile text.

#include <nserror.h>

#include <functional>

#include "engine/PlatformDeclarations.h"
#include "engine/ProfileManagerLoader.h"

struct AudioStreamSpec {
  DWORD bitrate;     // wanted bits per second
  DWORD formatTag;   // wave format tag of the codec
  DWORD sampleRate;  // samples per second
  DWORD channels;
};

// Height comes before width: fill it by field name.
struct VideoStreamSpec {
  DWORD fourcc;              // compression, as in the bitmap header
  DWORD bitrate;             // bits per second
  LONG height;               // pixels
  LONG width;                // pixels
  LONG framesPerSecond;      // whole frames, at least 1
  DWORD quality;             // 0 (frame rate) to 100 (picture quality)
  DWORD secondsPerKeyFrame;  // longest distance between key frames
};

// Where a profile manager comes from: the runtime for the program, a fake for
// tests.
using ProfileManagerFactory = std::function<HRESULT(IWMProfileManager**)>;

// A new profile "Custom Profile": audio stream 1, video streams 2 to
// videoCount + 1 under a bitrate exclusion when there are several, and a
// script stream after them when scriptBitrate is given. On success *profile
// holds one reference; on failure it is empty. videoCount is at most 63.
HRESULT GenerateProfile(const AudioStreamSpec* audio, const DWORD* scriptBitrate, WORD videoCount,
                        const VideoStreamSpec* videos, IWMProfile** profile, WMT_VERSION version,
                        const ProfileManagerFactory& createManager = CreateProfileManager);

// A profile loaded from profile text (ANSI, at most 259 characters are used).
// When no profile manager can be made, says so on standard output.
HRESULT MapProfile(const char* profileText, IWMProfile** profile,
                   const ProfileManagerFactory& createManager = CreateProfileManager);

// The parts of GenerateProfile.

// Stream 1, from the codec format of this tag, rate and channel count whose
// bitrate is within 250 bits per second of the wanted one; among several, the
// smallest block alignment when video is present, else the largest, and the
// last of equals.
HRESULT AddAudioStream(IWMProfileManager* manager, IWMProfile* profile, DWORD formatTag,
                       DWORD bitrate, DWORD sampleRate, DWORD channels, bool videoPresent);
// From the first codec format of the video's fourcc, with the video's picture
// size, frame time, bitrate, quality and key-frame spacing.
HRESULT AddVideoStream(IWMProfileManager* manager, IWMProfile* profile, WORD streamNumber,
                       const VideoStreamSpec& video);
// A bitrate exclusion over video streams 2 to videoCount + 1.
HRESULT AddBitrateExclusion(IWMProfile* profile, WORD videoCount);
HRESULT AddScriptStream(IWMProfile* profile, WORD streamNumber, DWORD bitrate);
// Number, names, bitrate and media type of one stream; the first failure ends it.
HRESULT ConfigureStreamCommon(IWMStreamConfig* stream, WORD streamNumber, const wchar_t* streamName,
                              const wchar_t* connectionName, DWORD bitrate,
                              WM_MEDIA_TYPE* mediaType);
