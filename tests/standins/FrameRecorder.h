#pragma once
// A video renderer for tests: takes one subtype of uncompressed video and
// keeps a copy of every frame with its presentation time. The graph counts it
// as a renderer, gets its completion and seeks through it.

#include <dshow.h>

#include <vector>

#include "standins/base/Filter.h"
#include "standins/base/InputPin.h"
#include "standins/base/SeekingPassThrough.h"

struct RecordedFrame {
  REFERENCE_TIME time = 0;  // sample start plus segment start, 100 ns units
  std::vector<BYTE> bytes;
};

class FrameRecorder;

class FrameRecorderPin final : public standin::InputPin {
 public:
  FrameRecorderPin(FrameRecorder& recorder, const GUID& subtype);
  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;

 protected:
  HRESULT OnReceive(IMediaSample* sample) override;
  HRESULT OnEndOfStream() override;

 private:
  FrameRecorder& m_recorder;
  GUID m_subtype;
};

class FrameRecorder final : public standin::Filter {
 public:
  explicit FrameRecorder(const GUID& subtype);
  int PinCount() override { return 1; }
  standin::Pin* PinAt(int n) override { return n == 0 ? &m_pin : nullptr; }

  FrameRecorderPin& Pin() { return m_pin; }
  std::vector<RecordedFrame> frames;  // written on the streaming thread while running

 protected:
  bool IsRenderer() const override { return true; }
  HRESULT QueryOther(REFIID riid, void** object) override;

 private:
  FrameRecorderPin m_pin;
  standin::SeekingPassThrough m_seeking;
};
