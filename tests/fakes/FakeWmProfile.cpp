#include "fakes/FakeWmProfile.h"

#include "platform/Str.h"

namespace {

std::string StreamTypeName(REFGUID type) {
  if (type == WMMEDIATYPE_Audio) return "Audio";
  if (type == WMMEDIATYPE_Video) return "Video";
  if (type == WMMEDIATYPE_Script) return "Script";
  return "Other";
}

}  // namespace

FakeWmProfile::FakeWmProfile(std::string name, FakeWmCallLog& log)
    : ComFake(__uuidof(IWMProfile), std::move(name), nullptr) {
  calls = &log;
}

STDMETHODIMP FakeWmProfile::SetName(const WCHAR* name) {
  HRESULT hr = Call("SetName", str::ToAnsi(name));
  if (SUCCEEDED(hr)) profileName = name;
  return hr;
}

STDMETHODIMP FakeWmProfile::GetStreamCount(DWORD* count) {
  if (!count) return E_POINTER;
  *count = static_cast<DWORD>(addedStreams.size());
  return S_OK;
}

STDMETHODIMP FakeWmProfile::AddStream(IWMStreamConfig* config) {
  if (!config) return E_POINTER;
  auto* fake = static_cast<FakeWmStreamConfig*>(config);
  HRESULT hr = Call("AddStream", fake->Name());
  if (SUCCEEDED(hr)) addedStreams.push_back(*fake);
  return hr;
}

STDMETHODIMP FakeWmProfile::CreateNewStream(REFGUID streamType, IWMStreamConfig** config) {
  if (!config) return E_POINTER;
  *config = nullptr;
  const std::string type = StreamTypeName(streamType);
  HRESULT hr = Call("CreateNewStream", type);
  if (FAILED(hr)) return hr;
  FakeMediaType offered;
  offered.majortype = streamType;
  m_newStreams.push_back(std::make_unique<FakeWmStreamConfig>("new" + type, *calls, offered));
  return m_newStreams.back()->QueryInterface(IID_PPV_ARGS(config));
}

STDMETHODIMP FakeWmProfile::GetMutualExclusionCount(DWORD* count) {
  if (!count) return E_POINTER;
  *count = static_cast<DWORD>(addedExclusions.size());
  return S_OK;
}

STDMETHODIMP FakeWmProfile::AddMutualExclusion(IWMMutualExclusion* exclusion) {
  if (!exclusion) return E_POINTER;
  HRESULT hr = Call("AddMutualExclusion");
  if (SUCCEEDED(hr)) addedExclusions.push_back(static_cast<FakeWmMutualExclusion*>(exclusion));
  return hr;
}

STDMETHODIMP FakeWmProfile::CreateNewMutualExclusion(IWMMutualExclusion** exclusion) {
  if (!exclusion) return E_POINTER;
  *exclusion = nullptr;
  HRESULT hr = Call("CreateNewMutualExclusion");
  if (FAILED(hr)) return hr;
  m_newExclusions.push_back(std::make_unique<FakeWmMutualExclusion>("exclusion", *calls));
  return m_newExclusions.back()->QueryInterface(IID_PPV_ARGS(exclusion));
}
