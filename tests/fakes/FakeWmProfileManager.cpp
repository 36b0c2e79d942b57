#include "fakes/FakeWmProfileManager.h"

#include <sstream>

#include "platform/Str.h"

namespace {

constexpr char kName[] = "manager";

std::string TypeName(REFGUID type) {
  if (type == WMMEDIATYPE_Audio) return "audio";
  if (type == WMMEDIATYPE_Video) return "video";
  return "other";
}

}  // namespace

FakeWmProfileManager::FakeWmProfileManager(FakeWmCallLog& log, FakeWmProfile* profile)
    : m_log(log), m_profile(profile) {}

ProfileManagerFactory FakeWmProfileManager::Factory() {
  return [this](IWMProfileManager** manager) -> HRESULT {
    *manager = nullptr;
    HRESULT hr = m_log.Call("runtime", "WMCreateProfileManager");
    if (FAILED(hr)) return hr;
    return QueryInterface(IID_PPV_ARGS(manager));
  };
}

STDMETHODIMP FakeWmProfileManager::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid == IID_IUnknown || riid == __uuidof(IWMProfileManager)) {
    *object = static_cast<IWMProfileManager*>(this);
  } else if (offersCodecInfo && riid == __uuidof(IWMCodecInfo)) {
    *object = static_cast<IWMCodecInfo*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT FakeWmProfileManager::HandOutProfile(IWMProfile** profile) {
  if (!m_profile) return E_FAIL;
  return m_profile->QueryInterface(IID_PPV_ARGS(profile));
}

STDMETHODIMP FakeWmProfileManager::CreateEmptyProfile(WMT_VERSION version, IWMProfile** profile) {
  if (!profile) return E_POINTER;
  *profile = nullptr;
  std::ostringstream args;
  args << "0x" << std::hex << static_cast<unsigned>(version);
  HRESULT hr = m_log.Call(kName, "CreateEmptyProfile", args.str());
  return FAILED(hr) ? hr : HandOutProfile(profile);
}

STDMETHODIMP FakeWmProfileManager::LoadProfileByData(const WCHAR* text, IWMProfile** profile) {
  if (!profile) return E_POINTER;
  *profile = nullptr;
  HRESULT hr = m_log.Call(kName, "LoadProfileByData", text ? str::ToAnsi(text) : "");
  if (FAILED(hr)) return hr;
  loadedText = text ? text : L"";
  return HandOutProfile(profile);
}

const std::vector<std::vector<FakeWmStreamConfig*>>* FakeWmProfileManager::Codecs(
    REFGUID type) const {
  if (type == WMMEDIATYPE_Audio) return &audioCodecs;
  if (type == WMMEDIATYPE_Video) return &videoCodecs;
  return nullptr;
}

STDMETHODIMP FakeWmProfileManager::GetCodecInfoCount(REFGUID type, DWORD* count) {
  if (!count) return E_POINTER;
  HRESULT hr = m_log.Call(kName, "GetCodecInfoCount", TypeName(type));
  if (FAILED(hr)) return hr;
  const auto* codecs = Codecs(type);
  *count = codecs ? static_cast<DWORD>(codecs->size()) : 0;
  return S_OK;
}

STDMETHODIMP FakeWmProfileManager::GetCodecFormatCount(REFGUID type, DWORD codec, DWORD* count) {
  if (!count) return E_POINTER;
  HRESULT hr =
      m_log.Call(kName, "GetCodecFormatCount", TypeName(type) + " " + std::to_string(codec));
  if (FAILED(hr)) return hr;
  const auto* codecs = Codecs(type);
  if (!codecs || codec >= codecs->size()) return E_INVALIDARG;
  *count = static_cast<DWORD>((*codecs)[codec].size());
  return S_OK;
}

STDMETHODIMP FakeWmProfileManager::GetCodecFormat(REFGUID type, DWORD codec, DWORD index,
                                                  IWMStreamConfig** format) {
  if (!format) return E_POINTER;
  *format = nullptr;
  const std::string args =
      TypeName(type) + " " + std::to_string(codec) + " " + std::to_string(index);
  HRESULT hr = m_log.Call(kName, "GetCodecFormat", args);
  if (FAILED(hr)) return hr;
  const auto* codecs = Codecs(type);
  if (!codecs || codec >= codecs->size() || index >= (*codecs)[codec].size()) return E_INVALIDARG;
  return (*codecs)[codec][index]->QueryInterface(IID_PPV_ARGS(format));
}
