#pragma once
// The subtitle filter's input: takes uncompressed video when the settings let
// the filter join, draws the cues that show at each frame's time and delivers
// it: upstream's own sample where both neighbours allow and its rows lie as
// the type declares, else a copy in a buffer of the output's, laid out as the
// type declares. A picture that no layout of its type fits ends the run.

#include <optional>

#include "standins/base/InputPin.h"
#include "standins/base/PictureLayout.h"

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
  // Upstream's sample copied into a buffer of the output's, in the declared
  // layout where the filter draws into the type (from: the sample's layout).
  HRESULT CopyForDelivery(IMediaSample* sample, const std::optional<PictureLayout>& from,
                          const AM_MEDIA_TYPE* changed, Microsoft::WRL::ComPtr<IMediaSample>& copy);
  // Draws the cues showing at sample's time into target's picture, which lies
  // as the type declares.
  void Paint(IMediaSample* sample, IMediaSample* target);

  SubtitleFilter& m_owner;
  // Where the picture lies in a sample as the type declares it; nothing when
  // the type is not drawn into. Set while connecting, then only on the
  // streaming thread.
  std::optional<PictureLayout> m_layout;
};
