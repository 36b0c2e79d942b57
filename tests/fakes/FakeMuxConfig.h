#pragma once
// The configuration interfaces of a multiplexer and its file sink in one
// object: IConfigInterleaving ("mux"), IFileSinkFilter2 ("sink") and
// IConfigAsfWriter ("writer"). The setters go through the call log; the
// getters fail with E_NOTIMPL.

#include "engine/PlatformDeclarations.h"
#include "fakes/FakeWmCallLog.h"

class FakeMuxConfig final : public IConfigInterleaving,
                            public IFileSinkFilter2,
                            public IConfigAsfWriter {
 public:
  explicit FakeMuxConfig(FakeWmCallLog& calls) : m_calls(calls) {}
  virtual ~FakeMuxConfig() = default;
  ULONG RefCount() const { return m_refs; }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    *object = nullptr;
    if (riid == IID_IConfigInterleaving) *object = static_cast<IConfigInterleaving*>(this);
    if (riid == IID_IFileSinkFilter || riid == IID_IFileSinkFilter2)
      *object = static_cast<IFileSinkFilter2*>(this);
    if (riid == __uuidof(IConfigAsfWriter)) *object = static_cast<IConfigAsfWriter*>(this);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  // The test owns the object: the count may reach 0 without deleting it.
  STDMETHODIMP_(ULONG) Release() override { return m_refs ? --m_refs : 0; }
  // IConfigInterleaving
  STDMETHODIMP put_Mode(InterleavingMode mode) override {
    return m_calls.Call("mux", "put_Mode", std::to_string(mode));
  }
  STDMETHODIMP get_Mode(InterleavingMode*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Interleaving(const REFERENCE_TIME*, const REFERENCE_TIME*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP get_Interleaving(REFERENCE_TIME*, REFERENCE_TIME*) override { return E_NOTIMPL; }
  // IFileSinkFilter2
  STDMETHODIMP SetFileName(LPCOLESTR, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP GetCurFile(LPOLESTR*, AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP SetMode(DWORD flags) override {
    return m_calls.Call("sink", "SetMode", std::to_string(flags));
  }
  STDMETHODIMP GetMode(DWORD*) override { return E_NOTIMPL; }
  // IConfigAsfWriter
  STDMETHODIMP ConfigureFilterUsingProfileId(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetCurrentProfileId(DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP ConfigureFilterUsingProfileGuid(REFGUID) override { return E_NOTIMPL; }
  STDMETHODIMP GetCurrentProfileGuid(GUID*) override { return E_NOTIMPL; }
  STDMETHODIMP ConfigureFilterUsingProfile(IWMProfile* profile) override {
    return m_calls.Call("writer", "ConfigureFilterUsingProfile", profile ? "profile" : "none");
  }
  STDMETHODIMP GetCurrentProfile(IWMProfile**) override { return E_NOTIMPL; }
  STDMETHODIMP SetIndexMode(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetIndexMode(BOOL*) override { return E_NOTIMPL; }

 private:
  FakeWmCallLog& m_calls;
  ULONG m_refs = 0;
};
