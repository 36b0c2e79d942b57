#pragma once
// A profile of the fake Windows Media runtime (a ComFake): notes each call, makes and owns the new
// streams and exclusions asked of it, and keeps what was added, in order. Like the runtime it keeps
// no reference to an added stream or exclusion.

#include <memory>
#include <string>
#include <vector>

#include "engine/PlatformDeclarations.h"
#include "fakes/ComFake.h"
#include "fakes/FakeWmCallLog.h"
#include "fakes/FakeWmMutualExclusion.h"
#include "fakes/FakeWmStreamConfig.h"

class FakeWmProfile final : public ComFake<IWMProfile> {
 public:
  FakeWmProfile(std::string name, FakeWmCallLog& log);
  std::wstring profileName;
  // Made by CreateNewStream ("newAudio", "newScript", "newVideo") and
  // CreateNewMutualExclusion ("exclusion").
  const std::vector<std::unique_ptr<FakeWmStreamConfig>>& NewStreams() const {
    return m_newStreams;
  }
  const std::vector<std::unique_ptr<FakeWmMutualExclusion>>& NewExclusions() const {
    return m_newExclusions;
  }
  // What AddStream received, as it was then (the runtime copies a stream),
  // and what AddMutualExclusion received.
  std::vector<FakeWmStreamConfig> addedStreams;
  std::vector<FakeWmMutualExclusion*> addedExclusions;

  // IWMProfile
  STDMETHODIMP GetVersion(WMT_VERSION*) override { return E_NOTIMPL; }
  STDMETHODIMP GetName(WCHAR*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP SetName(const WCHAR* name) override;
  STDMETHODIMP GetDescription(WCHAR*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP SetDescription(const WCHAR*) override { return E_NOTIMPL; }
  STDMETHODIMP GetStreamCount(DWORD* count) override;
  STDMETHODIMP GetStream(DWORD, IWMStreamConfig**) override { return E_NOTIMPL; }
  STDMETHODIMP GetStreamByNumber(WORD, IWMStreamConfig**) override { return E_NOTIMPL; }
  STDMETHODIMP RemoveStream(IWMStreamConfig*) override { return E_NOTIMPL; }
  STDMETHODIMP RemoveStreamByNumber(WORD) override { return E_NOTIMPL; }
  STDMETHODIMP AddStream(IWMStreamConfig* config) override;
  STDMETHODIMP ReconfigStream(IWMStreamConfig*) override { return E_NOTIMPL; }
  STDMETHODIMP CreateNewStream(REFGUID streamType, IWMStreamConfig** config) override;
  STDMETHODIMP GetMutualExclusionCount(DWORD* count) override;
  STDMETHODIMP GetMutualExclusion(DWORD, IWMMutualExclusion**) override { return E_NOTIMPL; }
  STDMETHODIMP RemoveMutualExclusion(IWMMutualExclusion*) override { return E_NOTIMPL; }
  STDMETHODIMP AddMutualExclusion(IWMMutualExclusion* exclusion) override;
  STDMETHODIMP CreateNewMutualExclusion(IWMMutualExclusion** exclusion) override;

 private:
  std::vector<std::unique_ptr<FakeWmStreamConfig>> m_newStreams;
  std::vector<std::unique_ptr<FakeWmMutualExclusion>> m_newExclusions;
};
