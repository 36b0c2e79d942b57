#pragma once
// A scratch folder of media files that tests make themselves: AVI clips
// written with the AVIFile API (RGB24 video, 16-bit PCM audio), MP4 clips made
// by ffmpeg, WAV files and files of any content. The folder and everything in it go at destruction.

#include <string>

#include "support/TempFolder.h"

struct ClipShape {
  int width = 320;   // pixels
  int height = 240;  // pixels
  int framesPerSecond = 25;
  int frames = 50;
  bool withAudio = true;  // 22050 Hz mono, as long as the video
  // Clips made by ffmpeg only:
  const char* rate = nullptr;  // the exact frame rate, where not framesPerSecond ("30000/1001")
  double soundDelay = 0;       // seconds the sound starts after the picture (< 0: before)
  bool variableRate = false;   // after the first second, every third frame of the rate
  bool syncMarks = false;      // a white frame and the sound's only beep at 1 s (+ soundHole)
  double soundLength = 0;      // seconds of sound, where it ends before the picture
  // A second sound track, English after the first one's Japanese: 880 Hz, or
  // the first track's beep.
  bool secondSoundTrack = false;
  double startTime = 0;  // seconds at which every stream starts
  double soundHole = 0;  // seconds of sound left out from 0.5 s on, the rest keeping its times
  int declaredRate = 0;  // frames a second a Matroska clip's track says, where not its own
};

class ClipFolder {
 public:
  ClipFolder() : m_folder(m_temp.Path() + "\\") {}

  // The folder, with its trailing backslash.
  const std::string& Folder() const { return m_folder; }
  std::string PathOf(const std::string& name) const { return m_folder + name; }

  // Each gives the new file's path, or an empty text when it could not be made.
  std::string MakeAvi(const std::string& name, const ClipShape& shape = {}) const;
  std::string MakeWav(const std::string& name, int seconds) const;
  // H.264 video (a moving test picture) and AAC sound, made by Debian's ffmpeg.
  std::string MakeMp4(const std::string& name, const ClipShape& shape = {}) const;
  // The same picture and sound, coded by ffmpeg's codecs options ("-c:v ...
  // -c:a ...") into the container that name's extension says.
  std::string MakeClip(const std::string& name, const ClipShape& shape,
                       const std::string& codecs) const;
  std::string MakeFile(const std::string& name, const std::string& content) const;
  // A sub-folder for files that must lie elsewhere.
  std::string MakeFolder(const std::string& name) const;

 private:
  std::string DeclareRate(const std::string& path, int perSecond) const;

  TempFolder m_temp;
  std::string m_folder;
};
