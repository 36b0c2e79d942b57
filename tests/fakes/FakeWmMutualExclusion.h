#pragma once
// A mutual exclusion of the fake Windows Media runtime: counts its
// references, notes each call and keeps its type and streams.

#include <string>
#include <vector>

#include "engine/PlatformDeclarations.h"
#include "fakes/FakeWmCallLog.h"

class FakeWmMutualExclusion final : public IWMMutualExclusion {
 public:
  FakeWmMutualExclusion(std::string name, FakeWmCallLog& log);
  virtual ~FakeWmMutualExclusion() = default;

  ULONG RefCount() const { return m_refs; }
  GUID type = GUID_NULL;
  std::vector<WORD> streams;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  // The owner keeps the object: the count may reach 0 without deleting it.
  STDMETHODIMP_(ULONG) Release() override { return m_refs ? --m_refs : 0; }
  // IWMStreamList
  STDMETHODIMP GetStreams(WORD* numbers, WORD* count) override;
  STDMETHODIMP AddStream(WORD number) override;
  STDMETHODIMP RemoveStream(WORD) override { return E_NOTIMPL; }
  // IWMMutualExclusion
  STDMETHODIMP GetType(GUID* value) override;
  STDMETHODIMP SetType(REFGUID value) override;

 private:
  std::string m_name;
  FakeWmCallLog& m_log;
  ULONG m_refs = 0;
};
