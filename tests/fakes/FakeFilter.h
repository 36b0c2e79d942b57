#pragma once
// A filter object for reference-count and graph tests: it counts its
// references and notes in a log when each of them goes. It enumerates the
// pins the test gives it (EnumPins goes through the call log) and names itself
// in QueryFilterInfo (by its own name, or the wide name the test gives, with
// the graph the test gives); the other operations fail with E_NOTIMPL.

#include <dshow.h>

#include <string>
#include <utility>

#include "fakes/ComFake.h"
#include "fakes/FakeEnum.h"
#include "platform/Str.h"

class FakeFilter final : public ComFake<IBaseFilter> {
 public:
  // name appears in the log as "<name> released" for each Release.
  FakeFilter(std::string name, std::vector<std::string>* log)
      : ComFake(IID_IBaseFilter, std::move(name), log) {}

  std::vector<IPin*> pins;            // not owned
  std::wstring infoName;              // QueryFilterInfo's name when not empty
  IFilterGraph* infoGraph = nullptr;  // not owned; handed out with a reference
  HRESULT infoFailure = S_OK;         // QueryFilterInfo fails with it

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
  STDMETHODIMP EnumPins(IEnumPins** out) override {
    *out = nullptr;
    HRESULT hr = Call("EnumPins");
    if (SUCCEEDED(hr)) *out = new FakeEnum<IEnumPins, IPin>(pins);
    return hr;
  }
  STDMETHODIMP FindPin(LPCWSTR, IPin**) override { return E_NOTIMPL; }
  STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override {
    if (FAILED(infoFailure)) return infoFailure;
    *info = FILTER_INFO{};
    if (infoName.empty())
      str::ToWide(Name().c_str(), info->achName, MAX_FILTER_NAME);
    else
      infoName.copy(info->achName, MAX_FILTER_NAME - 1);
    info->pGraph = infoGraph;
    if (infoGraph) infoGraph->AddRef();
    return S_OK;
  }
  STDMETHODIMP JoinFilterGraph(IFilterGraph*, LPCWSTR) override { return E_NOTIMPL; }
  STDMETHODIMP QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }

 protected:
  bool IsBaseInterface(REFIID riid) const override {
    return riid == IID_IPersist || riid == IID_IMediaFilter;
  }
};

// The name a filter gives in QueryFilterInfo, or "-" for none.
inline std::string FilterName(IBaseFilter* filter) {
  FILTER_INFO info = {};
  if (!filter || FAILED(filter->QueryFilterInfo(&info))) return "-";
  if (info.pGraph) info.pGraph->Release();
  return str::ToAnsi(info.achName);
}
