#pragma once
// A source filter of the tests' own, for a picture type that Wine's decoders
// never give (a VIDEOINFOHEADER2 with an aspect ratio): I420 frames at 25 per
// second, pushed from its own thread while the graph runs, then the end of
// the stream.

#include <memory>
#include <thread>

#include "standins/base/Filter.h"

class PictureSource final : public standin::Filter {
 public:
  PictureSource(LONG width, LONG height, DWORD aspectX, DWORD aspectY, int frames);
  ~PictureSource() override;
  int PinCount() override { return 1; }
  standin::Pin* PinAt(int n) override;

 protected:
  HRESULT OnRun(REFERENCE_TIME) override;
  HRESULT OnStop() override;  // after the allocator's decommit woke the thread

 private:
  class OutPin;
  void Push();

  std::unique_ptr<OutPin> m_output;
  int m_frames;
  std::thread m_pusher;
};
