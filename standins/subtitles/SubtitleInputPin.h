#pragma once
// The subtitle filter's input: takes uncompressed video when the settings let
// the filter join, draws the cues that show at each frame's time and delivers
// it: upstream's own sample where both neighbours allow, else a copy in a
// buffer of the output's.

#include <optional>

#include "standins/base/InputPin.h"
#include "standins/subtitles/FrameLayout.h"

class SubtitleFilter;

class SubtitleInputPin final : public standin::InputPin {
 public:
  explicit SubtitleInputPin(SubtitleFilter& filter);

  // Refuses an upstream that already has this filter: the graph would stack copies.
  STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;

  // Connects again to the same upstream pin, on type mt.
  HRESULT Reconnect(const AM_MEDIA_TYPE& mt);

 protected:
  HRESULT CompleteConnect(IPin* peer) override;
  HRESULT OnReceive(IMediaSample* sample) override;
  HRESULT OnEndOfStream() override;
  HRESULT OnBeginFlush() override;
  HRESULT OnEndFlush() override;
  HRESULT OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

 private:
  // Draws the cues showing at sample's time into target's picture.
  void Paint(IMediaSample* sample, IMediaSample* target);

  SubtitleFilter& m_owner;
  // Where the picture lies in a sample; nothing when the type is not drawn into.
  // Set while connecting, then only on the streaming thread.
  std::optional<FrameLayout> m_layout;
};
