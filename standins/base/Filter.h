#pragma once
// The base of the stand-in filters: IBaseFilter with the Stop/Pause/Run state,
// the pins (owned by the derived filter, alive as long as the filter), the
// graph it joined and the graph's event sink.
//
// Threads: state changes come on the graph's threads; samples arrive on
// upstream streaming threads. The state lock guards connections and state
// changes; the streaming side reads the state without it (State()), so a
// Stop never waits for a Receive in progress.

#include <dshow.h>
#include <wrl/client.h>

#include <string>

#include "standins/base/ComObject.h"
#include "standins/base/Lock.h"

namespace standin {

class Pin;

class Filter : public IBaseFilter, public IAMFilterMiscFlags {
 public:
  explicit Filter(const CLSID& clsid);
  virtual ~Filter() = default;
  Filter(const Filter&) = delete;
  Filter& operator=(const Filter&) = delete;

  // IUnknown. Derived filters add their interfaces in QueryOther.
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STANDIN_REFCOUNTED_OBJECT

  // IPersist
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  // IMediaFilter
  STDMETHODIMP Stop() override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Run(REFERENCE_TIME start) override;
  STDMETHODIMP GetState(DWORD timeoutMs, FILTER_STATE* state) override;
  STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
  STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;
  // IBaseFilter
  STDMETHODIMP EnumPins(IEnumPins** pins) override;
  STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
  STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
  STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
  STDMETHODIMP QueryVendorInfo(LPWSTR* info) override;
  // IAMFilterMiscFlags, offered only by renderers (IsRenderer)
  STDMETHODIMP_(ULONG) GetMiscFlags() override;

  virtual int PinCount() = 0;
  // Pin n, 0 <= n < PinCount(), or nullptr.
  virtual Pin* PinAt(int n) = 0;

  FILTER_STATE State() const { return static_cast<FILTER_STATE>(m_state); }
  CriticalSection& StateLock() { return m_stateLock; }
  // The graph this filter is in (not owned), or nullptr.
  IFilterGraph* Graph() const { return m_graph; }
  // The stream time's origin given to Run (100 ns units of the graph clock).
  REFERENCE_TIME StartTime() const { return m_start; }

  // Posts an event to the graph (EC_COMPLETE, EC_ERRORABORT ...). Safe from a
  // streaming thread.
  HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);
  // Ends the run for a streaming failure that upstream cannot mend (pictures
  // that cannot be read, say): EC_ERRORABORT with reason, once a run. Gives reason.
  HRESULT AbortRun(HRESULT reason);

 protected:
  // A filter that ends a stream in the graph (a renderer or a writer): the graph
  // counts it and waits for its EC_COMPLETE.
  virtual bool IsRenderer() const { return false; }
  virtual HRESULT QueryOther(REFIID, void**) { return E_NOINTERFACE; }
  // Called with the state lock held, after the pins' own handling.
  virtual HRESULT OnStop() { return S_OK; }
  virtual HRESULT OnPause(FILTER_STATE /*from*/) { return S_OK; }
  virtual HRESULT OnRun(REFERENCE_TIME /*start*/) { return S_OK; }

  RefCount m_refs;

 private:
  CLSID m_clsid;
  CriticalSection m_stateLock;
  volatile LONG m_state = State_Stopped;
  volatile LONG m_aborted = 0;  // this run
  REFERENCE_TIME m_start = 0;
  Microsoft::WRL::ComPtr<IReferenceClock> m_clock;
  IFilterGraph* m_graph = nullptr;      // not owned: the graph owns us
  IMediaEventSink* m_events = nullptr;  // not owned, as the graph's
  std::wstring m_name;
};

}  // namespace standin
