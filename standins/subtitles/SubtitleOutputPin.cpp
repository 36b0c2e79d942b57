#include "standins/subtitles/SubtitleOutputPin.h"

#include <wrl/client.h>

#include <algorithm>
#include <vector>

#include "standins/subtitles/SubtitleFilter.h"
#include "standins/subtitles/VideoFormat.h"

using Microsoft::WRL::ComPtr;

namespace {

// The types upstream offers, those the filter draws into first.
std::vector<standin::MediaType> UpstreamTypes(IPin* upstream) {
  std::vector<standin::MediaType> types;
  ComPtr<IEnumMediaTypes> offered;
  if (FAILED(upstream->EnumMediaTypes(&offered))) return types;
  AM_MEDIA_TYPE* mt = nullptr;
  while (offered->Next(1, &mt, nullptr) == S_OK) {
    types.emplace_back(*mt);
    standin::DeleteTaskMediaType(mt);
  }
  std::stable_partition(types.begin(), types.end(), [](const standin::MediaType& type) {
    return DrawableLayout(type.Get()).has_value();
  });
  return types;
}

}  // namespace

SubtitleOutputPin::SubtitleOutputPin(SubtitleFilter& filter)
    : OutputPin(filter, L"Output"), m_owner(filter) {}

STDMETHODIMP SubtitleOutputPin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) {
  const HRESULT hr = OutputPin::Connect(receivePin, mt);
  if (SUCCEEDED(hr) || !receivePin || IsConnected() || !m_owner.Input().IsConnected()) return hr;
  standin::AutoLock lock(m_filter.StateLock());
  if (m_filter.State() != State_Stopped) return hr;
  return SUCCEEDED(Renegotiate(receivePin, mt)) ? S_OK : hr;
}

// Tries upstream's other types in turn; without success the input gets its old type back.
HRESULT SubtitleOutputPin::Renegotiate(IPin* receivePin, const AM_MEDIA_TYPE* partial) {
  SubtitleInputPin& input = m_owner.Input();
  const standin::MediaType original = input.ConnectionType();
  for (const standin::MediaType& type : UpstreamTypes(input.Peer())) {
    const AM_MEDIA_TYPE& candidate = type.Get();
    if (SamePictureType(candidate, original.Get()) ||
        (partial && !standin::MatchesPartialType(candidate, *partial)) ||
        input.CheckMediaType(candidate) != S_OK || receivePin->QueryAccept(&candidate) != S_OK)
      continue;
    if (FAILED(input.Reconnect(candidate))) continue;
    if (SUCCEEDED(TryConnect(receivePin, candidate))) return S_OK;
  }
  if (!SamePictureType(input.ConnectionType().Get(), original.Get()))
    input.Reconnect(original.Get());
  return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT SubtitleOutputPin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
  SubtitleInputPin& input = m_owner.Input();
  return input.IsConnected() && SamePictureType(mt, input.ConnectionType().Get()) ? S_OK : S_FALSE;
}

HRESULT SubtitleOutputPin::GetMediaType(int n, standin::MediaType& mt) {
  SubtitleInputPin& input = m_owner.Input();
  if (n != 0 || !input.IsConnected()) return VFW_S_NO_MORE_ITEMS;
  mt = input.ConnectionType();
  return S_OK;
}

// Room for a whole picture even where the type names no sample size.
HRESULT SubtitleOutputPin::DecideBufferSize(IMemAllocator* allocator,
                                            ALLOCATOR_PROPERTIES request) {
  const std::optional<PictureLayout> layout = DrawableLayout(ConnectionType().Get());
  if (layout) request.cbBuffer = std::max<long>(request.cbBuffer, static_cast<long>(layout->Bytes()));
  return OutputPin::DecideBufferSize(allocator, request);
}

IMemAllocator* SubtitleOutputPin::PassThroughAllocator() {
  return m_owner.Input().UpstreamAllocator();
}

standin::Pin* SubtitleOutputPin::SeekingSource() { return &m_owner.Input(); }
