#include "standins/base/Filter.h"

#include <cstring>

#include "standins/base/Enumerators.h"
#include "standins/base/Pin.h"

namespace standin {

Filter::Filter(const CLSID& clsid) : m_clsid(clsid) {}

STDMETHODIMP Filter::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid == IID_IUnknown || riid == IID_IPersist || riid == IID_IMediaFilter ||
      riid == IID_IBaseFilter)
    return GetInterface(static_cast<IBaseFilter*>(this), object);
  if (riid == IID_IAMFilterMiscFlags && IsRenderer())
    return GetInterface(static_cast<IAMFilterMiscFlags*>(this), object);
  return QueryOther(riid, object);
}

STDMETHODIMP Filter::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = m_clsid;
  return S_OK;
}

STDMETHODIMP Filter::Stop() {
  AutoLock lock(m_stateLock);
  // Streaming threads see the new state at once and refuse further samples.
  InterlockedExchange(&m_state, State_Stopped);
  for (int i = 0; i < PinCount(); ++i) PinAt(i)->Inactive();
  return OnStop();
}

STDMETHODIMP Filter::Pause() {
  AutoLock lock(m_stateLock);
  const FILTER_STATE from = State();
  if (from == State_Stopped) {
    for (int i = 0; i < PinCount(); ++i) {
      HRESULT hr = PinAt(i)->Active();
      if (FAILED(hr)) return hr;
    }
  }
  if (from == State_Stopped) InterlockedExchange(&m_aborted, 0);
  InterlockedExchange(&m_state, State_Paused);
  return OnPause(from);
}

STDMETHODIMP Filter::Run(REFERENCE_TIME start) {
  AutoLock lock(m_stateLock);
  if (State() == State_Stopped) {
    HRESULT hr = Pause();
    if (FAILED(hr)) return hr;
  }
  m_start = start;
  InterlockedExchange(&m_state, State_Running);
  return OnRun(start);
}

STDMETHODIMP Filter::GetState(DWORD, FILTER_STATE* state) {
  if (!state) return E_POINTER;
  *state = State();
  return S_OK;
}

STDMETHODIMP Filter::SetSyncSource(IReferenceClock* clock) {
  AutoLock lock(m_stateLock);
  m_clock = clock;
  return S_OK;
}

STDMETHODIMP Filter::GetSyncSource(IReferenceClock** clock) {
  if (!clock) return E_POINTER;
  AutoLock lock(m_stateLock);
  *clock = m_clock.Get();
  if (*clock) (*clock)->AddRef();
  return S_OK;
}

STDMETHODIMP Filter::EnumPins(IEnumPins** pins) { return CreatePinEnumerator(*this, pins); }

STDMETHODIMP Filter::FindPin(LPCWSTR id, IPin** pin) {
  if (!id || !pin) return E_POINTER;
  *pin = nullptr;
  AutoLock lock(m_stateLock);
  for (int i = 0; i < PinCount(); ++i) {
    if (PinAt(i)->Name() != id) continue;
    *pin = PinAt(i);
    (*pin)->AddRef();
    return S_OK;
  }
  return VFW_E_NOT_FOUND;
}

STDMETHODIMP Filter::QueryFilterInfo(FILTER_INFO* info) {
  if (!info) return E_POINTER;
  AutoLock lock(m_stateLock);
  const size_t count = std::min(m_name.size(), static_cast<size_t>(MAX_FILTER_NAME - 1));
  wmemcpy(info->achName, m_name.c_str(), count);
  info->achName[count] = L'\0';
  info->pGraph = m_graph;
  if (m_graph) m_graph->AddRef();
  return S_OK;
}

STDMETHODIMP Filter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
  AutoLock lock(m_stateLock);
  m_graph = graph;
  m_name = name ? name : L"";
  m_events = nullptr;
  // The graph owns this filter: holding its event sink would make a cycle.
  if (graph &&
      SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(&m_events))))
    m_events->Release();
  return S_OK;
}

STDMETHODIMP Filter::QueryVendorInfo(LPWSTR*) { return E_NOTIMPL; }

STDMETHODIMP_(ULONG) Filter::GetMiscFlags() {
  return IsRenderer() ? AM_FILTER_MISC_FLAGS_IS_RENDERER : 0;
}

HRESULT Filter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) {
  IMediaEventSink* events = m_events;
  return events ? events->Notify(code, param1, param2) : E_NOTIMPL;
}

HRESULT Filter::AbortRun(HRESULT reason) {
  if (InterlockedExchange(&m_aborted, 1) == 0) NotifyEvent(EC_ERRORABORT, reason, 0);
  return reason;
}

}  // namespace standin
