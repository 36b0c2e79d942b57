#include "support/RecordingSink.h"

namespace {

// {5D1C7E40-3A1B-4C55-9A51-112E6F208B10}
constexpr CLSID kRecordingSinkClass = {
    0x5d1c7e40, 0x3a1b, 0x4c55, {0x9a, 0x51, 0x11, 0x2e, 0x6f, 0x20, 0x8b, 0x10}};

}  // namespace

RecordingPin::RecordingPin(RecordingSink& sink, const GUID& major, const GUID& subtype,
                           const wchar_t* name)
    : InputPin(sink, name), m_sink(sink), m_major(major), m_subtype(subtype) {}

HRESULT RecordingPin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
  if (mt.majortype != m_major) return S_FALSE;
  if (m_subtype == GUID_NULL) return S_OK;
  return mt.subtype == m_subtype &&
                 (m_major != MEDIATYPE_Video || mt.formattype == FORMAT_VideoInfo)
             ? S_OK
             : S_FALSE;
}

STDMETHODIMP RecordingPin::GetAllocator(IMemAllocator** allocator) {
  if (offer == Offer::kOurs) return InputPin::GetAllocator(allocator);
  if (allocator) *allocator = nullptr;
  if (offer == Offer::kNone) return VFW_E_NO_ALLOCATOR;
  return CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                          IID_PPV_ARGS(allocator));
}

long long RecordingPin::Bytes() const {
  long long total = 0;
  for (const RecordedSample& sample : samples) total += sample.bytes.size();
  return total;
}

HRESULT RecordingPin::OnReceive(IMediaSample* sample) {
  RecordedSample copy;
  REFERENCE_TIME stop = 0;
  if (FAILED(sample->GetTime(&copy.time, &stop))) return E_FAIL;
  copy.time += SegmentStart();
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  copy.bytes.assign(data, data + sample->GetActualDataLength());
  samples.push_back(std::move(copy));
  return S_OK;
}

HRESULT RecordingPin::OnEndOfStream() {
  m_sink.StreamEnded();
  return S_OK;
}

RecordingSink::RecordingSink(const GUID& videoSubtype)
    : Filter(kRecordingSinkClass),
      m_video(*this, MEDIATYPE_Video, videoSubtype, L"Video"),
      m_audio(*this, MEDIATYPE_Audio, MEDIASUBTYPE_PCM, L"Audio"),
      m_seeking(*static_cast<IBaseFilter*>(this), [this] { return &m_video; }) {}

standin::Pin* RecordingSink::PinAt(int n) {
  return n == 0 ? static_cast<standin::Pin*>(&m_video) : n == 1 ? &m_audio : nullptr;
}

void RecordingSink::StreamEnded() {
  const bool videoDone = !m_video.IsConnected() || m_video.EndOfStreamSeen();
  const bool audioDone = !m_audio.IsConnected() || m_audio.EndOfStreamSeen();
  if (videoDone && audioDone && InterlockedExchange(&m_notified, 1) == 0)
    NotifyEvent(EC_COMPLETE, S_OK, 0);
}

HRESULT RecordingSink::QueryOther(REFIID riid, void** object) {
  if (riid == IID_IMediaSeeking) return standin::GetInterface(&m_seeking, object);
  return E_NOINTERFACE;
}

HRESULT RecordingSink::OnStop() {
  m_notified = 0;
  return S_OK;
}
