#pragma once
// The capture graph builder: Wine's own (qcap.dll, reached past the registry)
// does everything but SetOutputFileName, which creates the multiplexer for the
// output type here and names its file through the multiplexer's own sink.

#include <dshow.h>
#include <wrl/client.h>

#include "standins/base/ComObject.h"

class CaptureGraphBuilder final : public ICaptureGraphBuilder2 {
 public:
  // A new builder over Wine's, for the class table.
  static HRESULT Create(REFIID riid, void** object);

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STANDIN_REFCOUNTED_OBJECT

  STDMETHODIMP SetFiltergraph(IGraphBuilder* graph) override;
  STDMETHODIMP GetFiltergraph(IGraphBuilder** graph) override;
  STDMETHODIMP SetOutputFileName(const GUID* type, LPCOLESTR file, IBaseFilter** mux,
                                 IFileSinkFilter** sink) override;
  STDMETHODIMP FindInterface(const GUID* category, const GUID* type, IBaseFilter* filter,
                             REFIID riid, void** object) override;
  STDMETHODIMP RenderStream(const GUID* category, const GUID* type, IUnknown* source,
                            IBaseFilter* compressor, IBaseFilter* renderer) override;
  STDMETHODIMP ControlStream(const GUID* category, const GUID* type, IBaseFilter* filter,
                             REFERENCE_TIME* start, REFERENCE_TIME* stop, WORD startCookie,
                             WORD stopCookie) override;
  STDMETHODIMP AllocCapFile(LPCOLESTR file, DWORDLONG size) override;
  STDMETHODIMP CopyCaptureFile(LPOLESTR oldFile, LPOLESTR newFile, int allowEscAbort,
                               IAMCopyCaptureFileProgress* callback) override;
  STDMETHODIMP FindPin(IUnknown* source, PIN_DIRECTION direction, const GUID* category,
                       const GUID* type, BOOL unconnected, int number, IPin** pin) override;

 private:
  CaptureGraphBuilder(HMODULE qcap, Microsoft::WRL::ComPtr<ICaptureGraphBuilder2> inner);
  ~CaptureGraphBuilder();

  standin::RefCount m_refs;
  HMODULE m_qcap;
  Microsoft::WRL::ComPtr<ICaptureGraphBuilder2> m_inner;
};
