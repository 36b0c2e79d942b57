#pragma once
// A capture graph builder that builds nothing: SetFiltergraph,
// SetOutputFileName (noted with the type and the file) and RenderStream
// (noted with the names of the source pin, the filter in between and the
// sink) go through the call log. SetOutputFileName hands out the multiplexer
// and sink the test gives it.

#include <dshow.h>

#include "fakes/ComFake.h"
#include "fakes/FakeFilter.h"

class FakeCaptureBuilder final : public ComFake<ICaptureGraphBuilder2> {
 public:
  // mux and sink are not owned.
  FakeCaptureBuilder(FakeWmCallLog* log, IBaseFilter* mux, IFileSinkFilter* sink)
      : ComFake(IID_ICaptureGraphBuilder2, "builder", nullptr), m_mux(mux), m_sink(sink) {
    calls = log;
  }

  STDMETHODIMP SetFiltergraph(IGraphBuilder*) override { return Call("SetFiltergraph"); }
  STDMETHODIMP GetFiltergraph(IGraphBuilder**) override { return E_NOTIMPL; }
  STDMETHODIMP SetOutputFileName(const GUID* type, LPCOLESTR file, IBaseFilter** mux,
                                 IFileSinkFilter** sink) override {
    wchar_t typeText[40] = L"";
    StringFromGUID2(*type, typeText, 40);
    HRESULT hr = Call("SetOutputFileName", str::ToAnsi(typeText) + " " + str::ToAnsi(file));
    if (FAILED(hr)) return hr;
    *mux = m_mux;
    m_mux->AddRef();
    *sink = m_sink;
    m_sink->AddRef();
    return S_OK;
  }
  STDMETHODIMP FindInterface(const GUID*, const GUID*, IBaseFilter*, REFIID, void**) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP RenderStream(const GUID*, const GUID*, IUnknown* source, IBaseFilter* between,
                            IBaseFilter* sink) override {
    Microsoft::WRL::ComPtr<IPin> pin;
    PIN_INFO info = {};
    if (source) source->QueryInterface(IID_PPV_ARGS(&pin));
    if (pin) pin->QueryPinInfo(&info);
    if (info.pFilter) info.pFilter->Release();
    return Call("RenderStream",
                str::ToAnsi(info.achName) + " " + FilterName(between) + " " + FilterName(sink));
  }
  STDMETHODIMP ControlStream(const GUID*, const GUID*, IBaseFilter*, REFERENCE_TIME*,
                             REFERENCE_TIME*, WORD, WORD) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP AllocCapFile(LPCOLESTR, DWORDLONG) override { return E_NOTIMPL; }
  STDMETHODIMP CopyCaptureFile(LPOLESTR, LPOLESTR, int, IAMCopyCaptureFileProgress*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP FindPin(IUnknown*, PIN_DIRECTION, const GUID*, const GUID*, BOOL, int,
                       IPin**) override {
    return E_NOTIMPL;
  }

 private:
  IBaseFilter* m_mux;
  IFileSinkFilter* m_sink;
};
