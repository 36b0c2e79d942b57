#pragma once
// What Debian's ffprobe and ffmpeg (test tools, outside Wine) read from a media
// file: its streams with their packet counts and durations, checksums of the
// decoded pictures, the length of the decoded sound.

#include <string>
#include <vector>

struct ProbedStream {
  std::string type;      // "video", "audio"
  std::string codec;     // ffprobe's codec name: "rawvideo", "mjpeg", "adpcm_ima_wav" ...
  long packets = -1;     // read one by one through the file
  double duration = -1;  // seconds, when the container gives one
  std::string aspect;    // video: the display aspect ratio, "16:9", when the file gives one
};

struct ProbedMedia {
  bool read = false;   // ffprobe read it to the end without an error
  std::string errors;  // what ffprobe complained about
  std::vector<ProbedStream> streams;
  double duration = -1;  // seconds, of the whole file

  const ProbedStream* Stream(const std::string& type) const;
};

ProbedMedia ProbeMedia(const std::string& windowsPath);

// One MD5 per decoded video frame (as pixelFormat), in order; empty on failure.
std::vector<std::string> VideoFrameChecksums(const std::string& windowsPath,
                                             const std::string& pixelFormat);
// The MD5 of the first video frame decoded after seeking to seconds (ffmpeg's
// -ss before -i: through the file's index), or "" on failure.
std::string VideoFrameChecksumAfterSeek(const std::string& windowsPath, double seconds,
                                        const std::string& pixelFormat);
// The length of the decoded sound in seconds (ffprobe gives none for PCM in
// AVI); -1 on failure.
double DecodedAudioSeconds(const std::string& windowsPath);
// When the decoded frames of the first stream of a type ("v", "a") play, in
// seconds, in order; empty on failure.
std::vector<double> FrameTimes(const std::string& windowsPath, const std::string& type);
// When the sound ends, in seconds of the file's timeline (silence counted
// where it starts late or leaves gaps); -1 on failure.
double SoundEndSeconds(const std::string& windowsPath);
// When the sound first rises above silence, in seconds of the file's
// timeline; -1 when it never does.
double FirstSoundSeconds(const std::string& windowsPath);

// Decoded pictures as planar 4:2:0 (the Y plane, then U, then V), one buffer per frame.
struct DecodedVideo {
  int width = 0;
  int height = 0;
  std::vector<std::vector<unsigned char>> frames;
};

// Decodes the first video stream through rawFile (a Windows path for the
// scratch file, removed afterwards): the frames the file holds, none repeated
// to fill a gap; no frames on failure.
DecodedVideo DecodeVideo(const std::string& windowsPath, const std::string& rawFile);

// What frame of a converted video shows against the source's: the source's
// picture, a cue drawn into it, or either (near a cue's edges).
enum class Cue { Absent, Drawn, Either };
// The rows where a cue is drawn, as fractions of the picture height from its
// top: by default the lower half.
struct CueRows {
  double top = 0.5;
  double bottom = 1;
};
// Empty when frame i of output is source's frame i, bit for bit where the cue
// is absent and else in the rows of each plane outside the cue's, with the
// luma in the cue's rows changed where the cue is drawn; otherwise what differs.
std::string CompareFrame(const DecodedVideo& source, const DecodedVideo& output, size_t i, Cue cue,
                         CueRows rows = {});
