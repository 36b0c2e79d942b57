#pragma once
// A compressor in the graph: one input, one output, each input sample turned
// into what the derived filter delivers downstream. Seeking asked of the
// output goes upstream; flushing, segments and end of stream pass through.
//
// Threads: samples, end of stream and the end of a flush come on the upstream
// streaming thread and are handled under the streaming lock; Stop never takes
// it (the output's allocator, decommitted by Stop, wakes a waiting delivery).

#include <memory>

#include "standins/base/Filter.h"
#include "standins/base/InputPin.h"
#include "standins/base/OutputPin.h"

class CompressorFilter : public standin::Filter {
 public:
  explicit CompressorFilter(const CLSID& clsid);
  ~CompressorFilter() override;

  int PinCount() override { return 2; }
  standin::Pin* PinAt(int n) override;

  // S_OK for an input type the filter compresses.
  virtual HRESULT CheckInputType(const AM_MEDIA_TYPE& mt) = 0;
  // Output type n (from 0) for the connected input; VFW_S_NO_MORE_ITEMS past the last.
  virtual HRESULT GetOutputType(int n, standin::MediaType& mt) = 0;
  // S_OK for one of the output types GetOutputType proposes.
  HRESULT CheckOutputType(const AM_MEDIA_TYPE& mt);
  // The output buffers to ask for: bytes each and how many.
  virtual void OutputBuffers(long& bytes, long& count) = 0;

  // From the input pin, on the streaming thread.
  HRESULT Receive(IMediaSample* sample);
  HRESULT EndOfStream();
  HRESULT EndFlush();

 protected:
  // One input sample, under the streaming lock; deliver through Output().
  virtual HRESULT Transform(IMediaSample* sample) = 0;
  // At the end of the stream, before it is passed on: deliver what is held back.
  virtual HRESULT Drain() { return S_OK; }
  // Before streaming starts and after a flush: forget what is held back.
  virtual void Restart() {}

  HRESULT OnPause(FILTER_STATE from) override;

  standin::InputPin& Input();
  standin::OutputPin& Output();
  // The media type the input is connected with (empty while it is not).
  const standin::MediaType& InputType();

 private:
  class InPin;
  class OutPin;

  std::unique_ptr<InPin> m_input;
  std::unique_ptr<OutPin> m_output;
  standin::CriticalSection m_streamLock;
};
