#pragma once
// A mutual exclusion of the fake Windows Media runtime (a ComFake): notes each
// call and keeps its type and streams.

#include <string>
#include <vector>

#include "engine/PlatformDeclarations.h"
#include "fakes/ComFake.h"
#include "fakes/FakeWmCallLog.h"

class FakeWmMutualExclusion final : public ComFake<IWMMutualExclusion> {
 public:
  FakeWmMutualExclusion(std::string name, FakeWmCallLog& log);
  GUID type = GUID_NULL;
  std::vector<WORD> streams;

  // IWMStreamList
  STDMETHODIMP GetStreams(WORD* numbers, WORD* count) override;
  STDMETHODIMP AddStream(WORD number) override;
  STDMETHODIMP RemoveStream(WORD) override { return E_NOTIMPL; }
  // IWMMutualExclusion
  STDMETHODIMP GetType(GUID* value) override;
  STDMETHODIMP SetType(REFGUID value) override;

 protected:
  bool IsBaseInterface(REFIID riid) const override { return riid == __uuidof(IWMStreamList); }
};
