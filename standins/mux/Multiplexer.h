#pragma once
// A multiplexer and file writer: one input per stream (a free one is added as
// each connects), the file named through IFileSinkFilter2, streams interleaved
// by time into the file of its format (MuxFormat). The graph counts it as a
// renderer: it notifies EC_COMPLETE once every connected input has ended. Stop
// finishes the file. A file that cannot be opened or a failed write ends the
// run: EC_ERRORABORT with the code, then EC_COMPLETE with it, and the file is
// finished around what was written.
//
// The file keeps the streams' times against each other: its 0 is the earliest
// stream's first sample. A sample without a time takes the next one of its
// stream. Uncompressed pictures are written packed, whichever row layout of
// the declared picture a sample has; one that fits none ends the run.
//
// Threads: each input streams on its own thread, or one thread feeds them all;
// Receive never waits for another stream (a stream far ahead of the others is
// written out of time order, Interleaver), nor for the disk: the file is
// written on a thread of its own (BackgroundWriter), from upstream's sample
// where it leaves at once. The queues are guarded by m_lock, never held while
// the graph is notified; the end of the run waits until all is written.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "standins/base/Filter.h"
#include "standins/base/SeekingPassThrough.h"
#include "standins/base/SlimLock.h"
#include "standins/mux/BackgroundWriter.h"
#include "standins/mux/MultiplexerPin.h"
#include "standins/mux/MuxFormat.h"

class ContainerWriter;
class FileSink;
class Interleaver;
class StreamTimes;
struct QueuedSample;

class Multiplexer : public standin::Filter, public IFileSinkFilter2, public IConfigInterleaving {
 public:
  // Opens the output file; a test gives one that fails.
  using SinkOpener =
      std::function<HRESULT(const wchar_t* path, bool overwrite, std::unique_ptr<FileSink>& sink)>;

  // format: static, outlives the filter.
  Multiplexer(const MuxFormat& format, SinkOpener opener);
  ~Multiplexer() override;

  // Opens a file on disk.
  static HRESULT OpenWin32File(const wchar_t* path, bool overwrite,
                               std::unique_ptr<FileSink>& sink);

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    return Filter::QueryInterface(riid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return Filter::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return Filter::Release(); }

  // IFileSinkFilter2
  STDMETHODIMP SetFileName(LPCOLESTR fileName, const AM_MEDIA_TYPE* mt) override;
  STDMETHODIMP GetCurFile(LPOLESTR* fileName, AM_MEDIA_TYPE* mt) override;
  STDMETHODIMP SetMode(DWORD flags) override;
  STDMETHODIMP GetMode(DWORD* flags) override;
  // IConfigInterleaving: every mode is taken; streams are always interleaved by time.
  STDMETHODIMP put_Mode(InterleavingMode mode) override;
  STDMETHODIMP get_Mode(InterleavingMode* mode) override;
  STDMETHODIMP put_Interleaving(const REFERENCE_TIME* interleave,
                                const REFERENCE_TIME* preroll) override;
  STDMETHODIMP get_Interleaving(REFERENCE_TIME* interleave, REFERENCE_TIME* preroll) override;

  int PinCount() override { return static_cast<int>(m_pins.size()); }
  standin::Pin* PinAt(int n) override;

  // The stream a connection type makes in this format's file; false when the
  // type is not taken.
  bool DescribeInput(const AM_MEDIA_TYPE& mt, StreamInfo& info) const;

  // From the pins.
  void AddFreePin();
  HRESULT Receive(MultiplexerPin& pin, IMediaSample* sample);
  HRESULT EndOfStream(MultiplexerPin& pin);
  void NewSegment(MultiplexerPin& pin);
  // The multiplexer's current position, in upstream's times (100 ns units), as
  // the source's length counts: the time up to which the streams still sending
  // are written, and once the file is finished, where the last sample ends.
  LONGLONG WrittenPosition();

 protected:
  bool IsRenderer() const override { return true; }
  HRESULT QueryOther(REFIID riid, void** object) override;
  HRESULT OnPause(FILTER_STATE from) override;
  HRESULT OnRun(REFERENCE_TIME start) override;
  HRESULT OnStop() override;

 private:
  // What to tell the graph once m_lock is released.
  struct Outcome {
    bool complete = false;
    HRESULT status = S_OK;
  };

  HRESULT OpenFile();
  // current: the media sample of a borrowed sample that may leave now.
  HRESULT QueueLocked(QueuedSample sample, IMediaSample* current);
  HRESULT WriteReadyLocked(IMediaSample* current = nullptr);
  // What leaves for the writing thread: the sample's own bytes, current held,
  // or a copy.
  BackgroundWriter::Sample Outgoing(QueuedSample& sample, IMediaSample* current);
  HRESULT CloseFileLocked();
  // Closes the file and gives what to tell the graph: the run's end, once.
  Outcome EndRunLocked(HRESULT status);
  void Tell(const Outcome& outcome);
  // A picture in another row layout than the file's, copied into it.
  HRESULT PackPictureLocked(QueuedSample& sample);
  MultiplexerPin* FirstConnectedPin();

  const MuxFormat& m_format;
  SinkOpener m_opener;
  std::vector<std::unique_ptr<MultiplexerPin>> m_pins;  // guarded by the state lock
  standin::SeekingPassThrough m_seeking;
  std::wstring m_fileName;
  DWORD m_mode = 0;
  InterleavingMode m_interleaving = INTERLEAVE_FULL;
  REFERENCE_TIME m_interleave = 10000000;  // 100 ns units
  REFERENCE_TIME m_preroll = 0;

  standin::SlimLock m_lock;
  std::unique_ptr<FileSink> m_sink;
  std::unique_ptr<ContainerWriter> m_writer;
  std::unique_ptr<BackgroundWriter> m_background;  // writes through m_writer
  std::unique_ptr<Interleaver> m_interleaver;
  std::vector<StreamInfo> m_streams;  // this run's, by stream
  std::unique_ptr<StreamTimes> m_times;
  HRESULT m_openFailure = S_OK;             // why the file of this run did not open
  std::vector<LONGLONG> m_written;          // by stream: the latest time written, this run
  LONGLONG m_finishedAt = 0;                // where the last sample ends, once the file is finished
  bool m_open = false;                      // a file is being written
  bool m_notified = false;                  // EC_COMPLETE sent for this run
};
