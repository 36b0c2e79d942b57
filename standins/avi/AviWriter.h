#pragma once
// Writes an interleaved OpenDML AVI (AVI 2.0) through a FileSink: the first
// RIFF "AVI " with the headers and the legacy idx1, then RIFF "AVIX"
// continuations, each at most a set size, with one standard index per stream
// and RIFF and the super indexes in the headers. Chunks are written in the
// order given; the caller interleaves.
//
// AVI keeps no sample times: a stream's rate and its start (in its own ticks)
// give them, and most players ignore the start. So every stream plays from the
// file's 0: a video frame goes into its slot (AviFrameSlots), the first frames
// held back until they have chosen the stream's rate; PCM and IMA ADPCM sound
// keeps its times with silence where it leaves a gap of more than a few
// milliseconds and blocks cut where it overlaps itself. Other sound follows
// on, its stream starting at its first sample's time. The picture lasts as
// long as the sound.
//
// While samples come, the open RIFF's and movi list's sizes and the headers'
// lengths are brought up to date every so often (HeaderRefresh), so that a
// file cut off by a crash is walked to its last chunk with the length written
// so far; the indexes come at the RIFF's close.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "standins/avi/AviFrameSlots.h"
#include "standins/avi/AviHeaders.h"
#include "standins/avi/AviIndex.h"
#include "standins/mux/ContainerWriter.h"
#include "standins/mux/HeaderRefresh.h"
#include "standins/mux/StreamInfo.h"

class FileSink;

class AviWriter final : public ContainerWriter {
 public:
  struct Limits {
    uint64_t riffBytes = 1u << 30;  // a RIFF with its header, movi list and indexes
    size_t superIndexSlots = 256;   // RIFFs a stream can span
    HeaderRefresh::Limits refresh;
  };

  AviWriter(FileSink& sink, std::vector<StreamInfo> streams, Limits limits);
  AviWriter(FileSink& sink, std::vector<StreamInfo> streams)
      : AviWriter(sink, std::move(streams), Limits{}) {}

  // One chunk after the stream's last, whatever its time.
  int32_t WriteChunk(size_t stream, const void* data, size_t size, bool keyFrame);

  const AviStreamTotals& Totals(size_t stream) const { return m_totals[stream]; }

 private:
  struct HeldFrame {
    std::vector<uint8_t> data;
    int64_t time;  // 100 ns units
    bool keyFrame;
  };
  struct StreamState {
    uint32_t chunkId = 0;
    StandardIndex pending;  // this RIFF's chunks
    // Video: the first frames, until the rate is chosen; then where frames go.
    std::vector<HeldFrame> held;
    std::optional<AviFrameSlots> slots;
    bool allKeys = true;  // no frame so far depends on another
    // Sound: when its first byte plays, 100 ns units.
    bool started = false;
    int64_t soundStart = 0;
  };

  bool Acceptable() const override;
  int32_t WriteHead() override;
  int32_t WriteSample(size_t stream, const void* data, size_t size, bool keyFrame,
                      int64_t time) override;
  int32_t WriteEnd() override;
  int32_t AddChunk(size_t stream, const void* data, size_t size, bool keyFrame);

  bool InFirstRiff() const { return m_riffCount == 1; }
  int32_t WriteFrame(size_t stream, const void* data, size_t size, bool keyFrame, int64_t time);
  // Chooses the stream's rate and writes the frames held until then.
  int32_t WriteHeldFrames(size_t stream);
  int32_t PlaceFrame(size_t stream, const void* data, size_t size, bool keyFrame, int64_t time);
  int32_t WriteSound(size_t stream, const void* data, size_t size, int64_t time);
  int32_t LengthenPicture();
  // bytes of silence, made of silent bytes, in chunks of at most a second.
  int32_t AddSilence(size_t stream, uint64_t bytes, uint8_t silent);
  uint64_t RiffBytesWith(size_t stream, uint64_t paddedSize) const;
  bool RiffHasChunks() const;
  int32_t MakeRoomFor(size_t stream, uint64_t paddedSize);
  int32_t WriteData(size_t stream, const void* data, size_t size);
  void RecordChunk(size_t stream, uint32_t size, bool keyFrame);
  int32_t OpenRiff(uint32_t type);
  int32_t WriteStandardIndexes();
  int32_t WriteLegacyIndex();
  int32_t CloseRiff();
  int32_t Refresh();
  int32_t WriteHeaderList();
  int32_t WriteSizeAt(uint64_t field, uint64_t end);
  int32_t Append(const std::vector<uint8_t>& bytes);

  FileSink& m_sink;
  std::vector<StreamInfo> m_streams;
  Limits m_limits;
  std::vector<StreamState> m_state;
  std::vector<AviStreamTotals> m_totals;
  HeaderRefresh m_refresh;
  LegacyIndex m_legacy;
  bool m_hasLegacyIndex = false;
  uint64_t m_headerListBytes = 0;
  uint64_t m_end = 0;        // of the last whole chunk
  uint64_t m_riffStart = 0;  // "RIFF" of the current RIFF
  uint64_t m_moviStart = 0;  // "LIST" of its movi list
  size_t m_riffCount = 0;
  bool m_riffOpen = false;  // its movi list takes chunks
};
