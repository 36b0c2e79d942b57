#pragma once
// A media event source that keeps the window it is told to notify. Raise
// queues an event from any thread, as the graph's threads do, and posts the
// notification message; GetEvent hands the queue out on the window's thread.
// SetNotifyWindow goes through the call log.

#include <dshow.h>

#include <deque>
#include <mutex>

#include "fakes/ComFake.h"

class FakeMediaEvent final : public DispatchFake<IMediaEventEx> {
 public:
  FakeMediaEvent(std::string name, std::vector<std::string>* log)
      : DispatchFake(IID_IMediaEventEx, std::move(name), log) {}

  HRESULT notifyResult = S_OK;  // what SetNotifyWindow answers
  OAHWND notifyWindow = 0;      // what it was last given
  LONG notifyMessage = 0;
  int freedEvents = 0;  // FreeEventParams calls

  void Raise(LONG code, LONG_PTR param1 = 0) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_events.push_back({code, param1});
    if (notifyWindow) PostMessageA(reinterpret_cast<HWND>(notifyWindow), notifyMessage, 0, 0);
  }

  // IMediaEvent
  STDMETHODIMP GetEventHandle(OAEVENT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG) override {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_events.empty()) return E_ABORT;
    *code = m_events.front().code;
    *param1 = m_events.front().param1;
    *param2 = 0;
    m_events.pop_front();
    return S_OK;
  }
  STDMETHODIMP WaitForCompletion(LONG, LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP CancelDefaultHandling(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP RestoreDefaultHandling(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP FreeEventParams(LONG, LONG_PTR, LONG_PTR) override {
    ++freedEvents;
    return S_OK;
  }
  // IMediaEventEx
  STDMETHODIMP SetNotifyWindow(OAHWND window, LONG message, LONG_PTR) override {
    Call("SetNotifyWindow", window ? "window" : "none");
    std::lock_guard<std::mutex> hold(m_lock);
    notifyWindow = window;
    notifyMessage = message;
    return notifyResult;
  }
  STDMETHODIMP SetNotifyFlags(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP GetNotifyFlags(LONG*) override { return E_NOTIMPL; }

 protected:
  bool IsBaseInterface(REFIID riid) const override {
    return riid == IID_IDispatch || riid == IID_IMediaEvent;
  }

 private:
  struct Event {
    LONG code;
    LONG_PTR param1;
  };
  std::mutex m_lock;
  std::deque<Event> m_events;
};
