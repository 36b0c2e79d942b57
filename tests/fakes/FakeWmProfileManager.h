#pragma once
// The profile manager of the fake Windows Media runtime, which also answers
// IWMCodecInfo for the codec formats a test installs. It counts its
// references, notes each call, and hands out one test-owned profile for
// CreateEmptyProfile and LoadProfileByData. Factory() stands for
// WMCreateProfileManager (logged as "runtime.WMCreateProfileManager").

#include <string>
#include <vector>

#include "engine/WmProfileBuilder.h"
#include "fakes/FakeWmCallLog.h"
#include "fakes/FakeWmProfile.h"
#include "fakes/FakeWmStreamConfig.h"

class FakeWmProfileManager final : public IWMProfileManager, public IWMCodecInfo {
 public:
  // profile is not owned.
  FakeWmProfileManager(FakeWmCallLog& log, FakeWmProfile* profile);
  virtual ~FakeWmProfileManager() = default;

  ULONG RefCount() const { return m_refs; }
  ProfileManagerFactory Factory();

  // The installed codecs, each a list of its formats (not owned).
  std::vector<std::vector<FakeWmStreamConfig*>> audioCodecs;
  std::vector<std::vector<FakeWmStreamConfig*>> videoCodecs;
  bool offersCodecInfo = true;
  std::wstring loadedText;  // what LoadProfileByData received

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  // The test owns the object: the count may reach 0 without deleting it.
  STDMETHODIMP_(ULONG) Release() override { return m_refs ? --m_refs : 0; }
  // IWMProfileManager
  STDMETHODIMP CreateEmptyProfile(WMT_VERSION version, IWMProfile** profile) override;
  STDMETHODIMP LoadProfileByID(REFGUID, IWMProfile**) override { return E_NOTIMPL; }
  STDMETHODIMP LoadProfileByData(const WCHAR* text, IWMProfile** profile) override;
  STDMETHODIMP SaveProfile(IWMProfile*, WCHAR*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP GetSystemProfileCount(DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP LoadSystemProfile(DWORD, IWMProfile**) override { return E_NOTIMPL; }
  // IWMCodecInfo ("audio"/"video" in the log)
  STDMETHODIMP GetCodecInfoCount(REFGUID type, DWORD* count) override;
  STDMETHODIMP GetCodecFormatCount(REFGUID type, DWORD codec, DWORD* count) override;
  STDMETHODIMP GetCodecFormat(REFGUID type, DWORD codec, DWORD index,
                              IWMStreamConfig** format) override;

 private:
  const std::vector<std::vector<FakeWmStreamConfig*>>* Codecs(REFGUID type) const;
  HRESULT HandOutProfile(IWMProfile** profile);

  FakeWmCallLog& m_log;
  FakeWmProfile* m_profile;
  ULONG m_refs = 0;
};
