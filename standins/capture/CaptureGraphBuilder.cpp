#include "standins/capture/CaptureGraphBuilder.h"

#include <new>
#include <utility>

#include "standins/avi/AviMuxClsid.h"

using Microsoft::WRL::ComPtr;

namespace {

// Wine's builder, from its DLL's class factory: the registry names this one.
HRESULT CreateWineBuilder(HMODULE& qcap, ComPtr<ICaptureGraphBuilder2>& builder) {
  qcap = LoadLibraryW(L"qcap.dll");
  if (!qcap) return HRESULT_FROM_WIN32(GetLastError());
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  const auto getClassObject = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(qcap, "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  HRESULT hr = getClassObject ? getClassObject(CLSID_CaptureGraphBuilder2, IID_PPV_ARGS(&factory))
                              : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_PPV_ARGS(&builder));
  if (FAILED(hr)) {
    FreeLibrary(qcap);
    qcap = nullptr;
  }
  return hr;
}

// The multiplexer's class: a subtype names the platform's, anything else is a class.
const CLSID& MultiplexerClass(const GUID& type) {
  if (type == MEDIASUBTYPE_Avi) return kAviMuxClsid;
  if (type == MEDIASUBTYPE_Asf) return CLSID_WMAsfWriter;
  return type;
}

}  // namespace

HRESULT CaptureGraphBuilder::Create(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  HMODULE qcap = nullptr;
  ComPtr<ICaptureGraphBuilder2> inner;
  HRESULT hr = CreateWineBuilder(qcap, inner);
  if (FAILED(hr)) return hr;
  auto* builder = new (std::nothrow) CaptureGraphBuilder(qcap, std::move(inner));
  if (!builder) {
    FreeLibrary(qcap);
    return E_OUTOFMEMORY;
  }
  hr = builder->QueryInterface(riid, object);
  builder->Release();
  return hr;
}

CaptureGraphBuilder::CaptureGraphBuilder(HMODULE qcap, ComPtr<ICaptureGraphBuilder2> inner)
    : m_qcap(qcap), m_inner(std::move(inner)) {}

CaptureGraphBuilder::~CaptureGraphBuilder() {
  m_inner.Reset();
  FreeLibrary(m_qcap);
}

STDMETHODIMP CaptureGraphBuilder::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid == IID_IUnknown || riid == IID_ICaptureGraphBuilder2)
    return standin::GetInterface(static_cast<ICaptureGraphBuilder2*>(this), object);
  return E_NOINTERFACE;
}

// Adds the multiplexer for type to the graph with its file named. A multiplexer
// that is not its own file sink (IFileSinkFilter) is refused.
STDMETHODIMP CaptureGraphBuilder::SetOutputFileName(const GUID* type, LPCOLESTR file,
                                                    IBaseFilter** mux, IFileSinkFilter** sink) {
  if (!type || !file || !mux) return E_POINTER;
  *mux = nullptr;
  if (sink) *sink = nullptr;
  ComPtr<IGraphBuilder> graph;
  HRESULT hr = m_inner->GetFiltergraph(&graph);
  if (FAILED(hr)) return hr;
  ComPtr<IBaseFilter> filter;
  hr = CoCreateInstance(MultiplexerClass(*type), nullptr, CLSCTX_INPROC_SERVER,
                        IID_PPV_ARGS(&filter));
  if (FAILED(hr)) return hr;
  ComPtr<IFileSinkFilter> fileSink;
  hr = filter.As(&fileSink);
  if (FAILED(hr)) return hr;
  hr = fileSink->SetFileName(file, nullptr);
  if (FAILED(hr)) return hr;
  hr = graph->AddFilter(filter.Get(), *type == MEDIASUBTYPE_Avi ? L"AVI Mux" : L"Multiplexer");
  if (FAILED(hr)) return hr;
  *mux = filter.Detach();
  if (sink) *sink = fileSink.Detach();
  return S_OK;
}

STDMETHODIMP CaptureGraphBuilder::SetFiltergraph(IGraphBuilder* graph) {
  return m_inner->SetFiltergraph(graph);
}

STDMETHODIMP CaptureGraphBuilder::GetFiltergraph(IGraphBuilder** graph) {
  return m_inner->GetFiltergraph(graph);
}

STDMETHODIMP CaptureGraphBuilder::FindInterface(const GUID* category, const GUID* type,
                                                IBaseFilter* filter, REFIID riid, void** object) {
  return m_inner->FindInterface(category, type, filter, riid, object);
}

STDMETHODIMP CaptureGraphBuilder::RenderStream(const GUID* category, const GUID* type,
                                               IUnknown* source, IBaseFilter* compressor,
                                               IBaseFilter* renderer) {
  return m_inner->RenderStream(category, type, source, compressor, renderer);
}

STDMETHODIMP CaptureGraphBuilder::ControlStream(const GUID* category, const GUID* type,
                                                IBaseFilter* filter, REFERENCE_TIME* start,
                                                REFERENCE_TIME* stop, WORD startCookie,
                                                WORD stopCookie) {
  return m_inner->ControlStream(category, type, filter, start, stop, startCookie, stopCookie);
}

STDMETHODIMP CaptureGraphBuilder::AllocCapFile(LPCOLESTR file, DWORDLONG size) {
  return m_inner->AllocCapFile(file, size);
}

STDMETHODIMP CaptureGraphBuilder::CopyCaptureFile(LPOLESTR oldFile, LPOLESTR newFile,
                                                  int allowEscAbort,
                                                  IAMCopyCaptureFileProgress* callback) {
  return m_inner->CopyCaptureFile(oldFile, newFile, allowEscAbort, callback);
}

STDMETHODIMP CaptureGraphBuilder::FindPin(IUnknown* source, PIN_DIRECTION direction,
                                          const GUID* category, const GUID* type, BOOL unconnected,
                                          int number, IPin** pin) {
  return m_inner->FindPin(source, direction, category, type, unconnected, number, pin);
}
