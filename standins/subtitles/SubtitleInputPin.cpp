#include "standins/subtitles/SubtitleInputPin.h"

#include <wrl/client.h>

#include <cstring>

#include "standins/subtitles/SubtitleFilter.h"
#include "standins/subtitles/SubtitlePainter.h"
#include "standins/subtitles/VideoFormat.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kMaxUpstreamDepth = 32;  // filters; a longer chain is taken as a loop

// Whether pin's filter, or any filter upstream of it, is of class clsid.
bool ClassUpstream(IPin* pin, const CLSID& clsid, int depth) {
  PIN_INFO info = {};
  if (depth == 0 || FAILED(pin->QueryPinInfo(&info)) || !info.pFilter) return false;
  ComPtr<IBaseFilter> filter;
  *filter.GetAddressOf() = info.pFilter;  // adopts the reference QueryPinInfo added
  CLSID filterClass = {};
  if (SUCCEEDED(filter->GetClassID(&filterClass)) && filterClass == clsid) return true;
  ComPtr<IEnumPins> pins;
  if (FAILED(filter->EnumPins(&pins))) return false;
  ComPtr<IPin> each;
  while (pins->Next(1, &each, nullptr) == S_OK) {
    PIN_DIRECTION direction = PINDIR_OUTPUT;
    ComPtr<IPin> upstream;
    if (SUCCEEDED(each->QueryDirection(&direction)) && direction == PINDIR_INPUT &&
        SUCCEEDED(each->ConnectedTo(&upstream)) && ClassUpstream(upstream.Get(), clsid, depth - 1))
      return true;
  }
  return false;
}

void CopyTimes(IMediaSample* from, IMediaSample* to) {
  REFERENCE_TIME start = 0, stop = 0;
  const HRESULT times = from->GetTime(&start, &stop);
  if (times == S_OK) to->SetTime(&start, &stop);
  if (times == VFW_S_NO_STOP_TIME) to->SetTime(&start, nullptr);
  LONGLONG mediaStart = 0, mediaStop = 0;
  if (from->GetMediaTime(&mediaStart, &mediaStop) == S_OK)
    to->SetMediaTime(&mediaStart, &mediaStop);
  to->SetSyncPoint(from->IsSyncPoint() == S_OK);
  to->SetPreroll(from->IsPreroll() == S_OK);
  to->SetDiscontinuity(from->IsDiscontinuity() == S_OK);
}

// The bytes and properties of from into to; false when they do not fit.
bool CopySample(IMediaSample* from, IMediaSample* to) {
  BYTE* source = nullptr;
  BYTE* target = nullptr;
  const long length = from->GetActualDataLength();
  if (FAILED(from->GetPointer(&source)) || FAILED(to->GetPointer(&target)) || length < 0 ||
      length > to->GetSize())
    return false;
  std::memcpy(target, source, static_cast<size_t>(length));
  to->SetActualDataLength(length);
  CopyTimes(from, to);
  return true;
}

// The picture of from (laid out as source) into to, laid out as target; false
// when to's buffer is too small for it.
bool CopyPictureSample(IMediaSample* from, const PictureLayout& source, IMediaSample* to,
                       const PictureLayout& target) {
  BYTE* in = nullptr;
  BYTE* out = nullptr;
  if (FAILED(from->GetPointer(&in)) || FAILED(to->GetPointer(&out)) ||
      target.Bytes() > static_cast<size_t>(to->GetSize()))
    return false;
  CopyPicture(source, in, target, out);
  to->SetActualDataLength(static_cast<long>(target.Bytes()));
  CopyTimes(from, to);
  return true;
}

}  // namespace

SubtitleInputPin::SubtitleInputPin(SubtitleFilter& filter)
    : InputPin(filter, L"Input"), m_owner(filter) {}

STDMETHODIMP SubtitleInputPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) {
  if (connector && ClassUpstream(connector, kSubtitleFilterClass, kMaxUpstreamDepth))
    return VFW_E_TYPE_NOT_ACCEPTED;
  return InputPin::ReceiveConnection(connector, mt);
}

// The settings decide only while the filter joins: a connected pin may be
// asked on a streaming thread, where the graph must not be called.
HRESULT SubtitleInputPin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
  if (!IsUncompressedVideo(mt)) return S_FALSE;
  return IsConnected() || m_owner.MayJoin() ? S_OK : S_FALSE;
}

HRESULT SubtitleInputPin::Reconnect(const AM_MEDIA_TYPE& mt) {
  ComPtr<IPin> upstream = Peer();
  if (!upstream) return VFW_E_NOT_CONNECTED;
  HRESULT hr = upstream->Disconnect();
  if (FAILED(hr)) return hr;
  Disconnect();
  return upstream->Connect(this, &mt);
}

HRESULT SubtitleInputPin::CompleteConnect(IPin*) {
  m_layout = DrawableLayout(ConnectionType().Get());
  m_owner.FindSource();
  return S_OK;
}

// Painted in place and handed on where downstream takes upstream's samples,
// upstream lets them be changed and the picture lies as declared; otherwise
// copied into a buffer of the output's.
HRESULT SubtitleInputPin::OnReceive(IMediaSample* sample) {
  AM_MEDIA_TYPE* changed = nullptr;
  if (sample->GetMediaType(&changed) != S_OK) changed = nullptr;
  if (changed) m_layout = DrawableLayout(*changed);
  std::optional<PictureLayout> layout;
  if (m_layout) {
    const long length = sample->GetActualDataLength();
    layout = SampleLayout(*m_layout, static_cast<size_t>(length > 0 ? length : 0));
    if (!layout) {
      standin::DeleteTaskMediaType(changed);
      return m_owner.AbortRun(VFW_E_INVALIDMEDIATYPE);
    }
  }
  SubtitleOutputPin& output = m_owner.Output();
  if (output.DownstreamTakesAnySample() && !ReadOnlySamples() && layout == m_layout) {
    standin::DeleteTaskMediaType(changed);
    Paint(sample, sample);
    return output.Deliver(sample);
  }
  ComPtr<IMediaSample> copy;
  const HRESULT hr = CopyForDelivery(sample, layout, changed, copy);
  standin::DeleteTaskMediaType(changed);
  if (FAILED(hr)) return hr;
  if (copy.Get() != sample) Paint(sample, copy.Get());
  return output.Deliver(copy.Get());
}

// A frame larger than the agreed buffers goes on as it is, and so does one
// for which none of upstream's buffers is free.
HRESULT SubtitleInputPin::CopyForDelivery(IMediaSample* sample,
                                          const std::optional<PictureLayout>& from,
                                          const AM_MEDIA_TYPE* changed,
                                          ComPtr<IMediaSample>& copy) {
  const HRESULT hr = m_owner.Output().GetDeliveryBuffer(&copy);
  if (hr == VFW_E_TIMEOUT) {
    copy = sample;
    return S_OK;
  }
  if (FAILED(hr)) return hr;
  const bool copied = from ? CopyPictureSample(sample, *from, copy.Get(), *m_layout)
                           : CopySample(sample, copy.Get());
  if (!copied) {
    copy = sample;
    return S_OK;
  }
  if (changed) copy->SetMediaType(const_cast<AM_MEDIA_TYPE*>(changed));
  return S_OK;
}

void SubtitleInputPin::Paint(IMediaSample* sample, IMediaSample* target) {
  const std::shared_ptr<SubtitlePainter> painter = m_owner.Painter();
  REFERENCE_TIME start = 0, stop = 0;
  if (!painter || !m_layout || FAILED(sample->GetTime(&start, &stop))) return;
  BYTE* frame = nullptr;
  if (FAILED(target->GetPointer(&frame)) ||
      static_cast<size_t>(target->GetActualDataLength()) != m_layout->Bytes())
    return;
  painter->Paint(start + SegmentStart(), *m_layout, frame);
}

HRESULT SubtitleInputPin::OnEndOfStream() { return m_owner.Output().DeliverEndOfStream(); }

HRESULT SubtitleInputPin::OnBeginFlush() { return m_owner.Output().DeliverBeginFlush(); }

HRESULT SubtitleInputPin::OnEndFlush() { return m_owner.Output().DeliverEndFlush(); }

HRESULT SubtitleInputPin::OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  return m_owner.Output().DeliverNewSegment(start, stop, rate);
}
