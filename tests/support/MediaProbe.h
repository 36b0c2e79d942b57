#pragma once
// What Debian's ffprobe and ffmpeg (test tools, outside Wine) read from a media
// file: its streams with their packet counts and durations, and checksums of the
// decoded pictures and sound.

#include <string>
#include <vector>

struct ProbedStream {
  std::string type;      // "video", "audio"
  std::string codec;     // ffprobe's codec name
  long packets = -1;     // read one by one through the file
  double duration = -1;  // seconds, when the container gives one
  int width = 0;
  int height = 0;
};

struct ProbedMedia {
  bool read = false;     // ffprobe read it to the end without an error
  std::string errors;    // what ffprobe complained about
  double duration = -1;  // of the container, seconds
  std::vector<ProbedStream> streams;

  const ProbedStream* Stream(const std::string& type) const;
};

ProbedMedia ProbeMedia(const std::string& windowsPath);

// One MD5 per decoded video frame (as pixelFormat), in order; empty on failure.
std::vector<std::string> VideoFrameChecksums(const std::string& windowsPath,
                                             const std::string& pixelFormat);
// The MD5 of all decoded sound as 16-bit PCM; empty on failure.
std::string AudioChecksum(const std::string& windowsPath);
// The length of the decoded sound in seconds (ffprobe gives none for PCM in AVI); -1 on failure.
double DecodedAudioSeconds(const std::string& windowsPath);
