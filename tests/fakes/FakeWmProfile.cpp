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
    : m_name(std::move(name)), m_log(log) {}

STDMETHODIMP FakeWmProfile::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == __uuidof(IWMProfile)) {
    *object = static_cast<IWMProfile*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP FakeWmProfile::SetName(const WCHAR* name) {
  HRESULT hr = m_log.Call(m_name, "SetName", str::ToAnsi(name));
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
  HRESULT hr = m_log.Call(m_name, "AddStream", fake->Name());
  if (SUCCEEDED(hr)) addedStreams.push_back(fake);
  return hr;
}

STDMETHODIMP FakeWmProfile::CreateNewStream(REFGUID streamType, IWMStreamConfig** config) {
  if (!config) return E_POINTER;
  *config = nullptr;
  const std::string type = StreamTypeName(streamType);
  HRESULT hr = m_log.Call(m_name, "CreateNewStream", type);
  if (FAILED(hr)) return hr;
  FakeMediaType offered;
  offered.majortype = streamType;
  m_newStreams.push_back(std::make_unique<FakeWmStreamConfig>("new" + type, m_log, offered));
  return m_newStreams.back()->QueryInterface(IID_PPV_ARGS(config));
}

STDMETHODIMP FakeWmProfile::GetMutualExclusionCount(DWORD* count) {
  if (!count) return E_POINTER;
  *count = static_cast<DWORD>(addedExclusions.size());
  return S_OK;
}

STDMETHODIMP FakeWmProfile::AddMutualExclusion(IWMMutualExclusion* exclusion) {
  if (!exclusion) return E_POINTER;
  HRESULT hr = m_log.Call(m_name, "AddMutualExclusion");
  if (SUCCEEDED(hr)) addedExclusions.push_back(static_cast<FakeWmMutualExclusion*>(exclusion));
  return hr;
}

STDMETHODIMP FakeWmProfile::CreateNewMutualExclusion(IWMMutualExclusion** exclusion) {
  if (!exclusion) return E_POINTER;
  *exclusion = nullptr;
  HRESULT hr = m_log.Call(m_name, "CreateNewMutualExclusion");
  if (FAILED(hr)) return hr;
  m_newExclusions.push_back(std::make_unique<FakeWmMutualExclusion>("exclusion", m_log));
  return m_newExclusions.back()->QueryInterface(IID_PPV_ARGS(exclusion));
}
