#pragma once
// A filter object for reference-count tests: it counts its references and
// notes in a log when each of them goes. It answers QueryFilterInfo when it
// has been given a name, and hands out the other interfaces the test offers;
// every other filter operation fails with E_NOTIMPL.

#include <dshow.h>

#include <string>
#include <utility>

#include "fakes/ComFake.h"

class FakeFilter final : public ComFake<IBaseFilter> {
 public:
  // name appears in the log as "<name> released" for each Release.
  FakeFilter(std::string name, std::vector<std::string>* log)
      : ComFake(IID_IBaseFilter, std::move(name), log) {}

  // QueryFilterInfo gives name (at most 127 characters) and a reference to
  // graph (not owned, may be null); failure makes it fail with that code.
  void SetInfo(std::wstring name, IFilterGraph* graph, HRESULT failure = S_OK) {
    m_infoName = std::move(name);
    m_infoGraph = graph;
    m_infoResult = failure;
  }
  // part (not owned) answers queries for iid.
  void Offer(REFIID iid, IUnknown* part) { m_parts.emplace_back(iid, part); }

  // IPersist
  STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
  // IMediaFilter
  STDMETHODIMP Stop() override { return E_NOTIMPL; }
  STDMETHODIMP Pause() override { return E_NOTIMPL; }
  STDMETHODIMP Run(REFERENCE_TIME) override { return E_NOTIMPL; }
  STDMETHODIMP GetState(DWORD, FILTER_STATE*) override { return E_NOTIMPL; }
  STDMETHODIMP SetSyncSource(IReferenceClock*) override { return E_NOTIMPL; }
  STDMETHODIMP GetSyncSource(IReferenceClock**) override { return E_NOTIMPL; }
  // IBaseFilter
  STDMETHODIMP EnumPins(IEnumPins**) override { return E_NOTIMPL; }
  STDMETHODIMP FindPin(LPCWSTR, IPin**) override { return E_NOTIMPL; }
  STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override {
    if (FAILED(m_infoResult)) return m_infoResult;
    if (!info) return E_POINTER;
    *info = {};
    m_infoName.copy(info->achName, MAX_FILTER_NAME - 1);
    info->pGraph = m_infoGraph;
    if (m_infoGraph) m_infoGraph->AddRef();
    return S_OK;
  }
  STDMETHODIMP JoinFilterGraph(IFilterGraph*, LPCWSTR) override { return E_NOTIMPL; }
  STDMETHODIMP QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }

 protected:
  bool IsBaseInterface(REFIID riid) const override {
    return riid == IID_IPersist || riid == IID_IMediaFilter;
  }
  HRESULT QueryOther(REFIID riid, void** object) override {
    for (const auto& [iid, part] : m_parts)
      if (iid == riid) return part->QueryInterface(riid, object);
    return E_NOINTERFACE;
  }

 private:
  std::wstring m_infoName;
  IFilterGraph* m_infoGraph = nullptr;
  HRESULT m_infoResult = E_NOTIMPL;
  std::vector<std::pair<IID, IUnknown*>> m_parts;
};
