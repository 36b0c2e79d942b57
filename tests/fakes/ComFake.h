#pragma once
// Base of small COM fakes for one interface: a reference count that the test
// reads, and a log line "<name> released" for each Release. The test owns the
// object: the count may reach 0 without deleting it. Other objects can answer
// queries for further interfaces; with a call log, fakes note their calls
// there and fail as it plans.

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "fakes/FakeWmCallLog.h"

template <class Interface>
class ComFake : public Interface {
 public:
  // iid: the interface's identifier; log (not owned) may be null.
  ComFake(REFIID iid, std::string name, std::vector<std::string>* log)
      : m_iid(iid), m_name(std::move(name)), m_log(log) {}
  virtual ~ComFake() = default;
  ComFake(const ComFake&) = delete;
  ComFake& operator=(const ComFake&) = delete;

  ULONG RefCount() const { return m_refs; }
  const std::string& Name() const { return m_name; }
  FakeWmCallLog* calls = nullptr;  // not owned
  // part (not owned) answers queries for iid, noted as "QueryInterface(label)".
  void Offer(REFIID iid, IUnknown* part, std::string label = "") {
    m_parts.push_back({iid, part, std::move(label)});
  }
  // Runs when the last reference goes, to look at the world at that moment.
  void OnLastRelease(std::function<void()> hook) { m_onLastRelease = std::move(hook); }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == m_iid || IsBaseInterface(riid)) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    return QueryOther(riid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() override {
    if (m_log) m_log->push_back(m_name + " released");
    if (m_refs == 0) return 0;
    if (--m_refs == 0 && m_onLastRelease) m_onLastRelease();
    return m_refs;
  }

 protected:
  // The interfaces that Interface derives from, besides IUnknown.
  virtual bool IsBaseInterface(REFIID riid) const {
    if constexpr (std::is_base_of_v<IDispatch, Interface>) return riid == IID_IDispatch;
    return false;
  }
  // Other interfaces: by default those offered.
  virtual HRESULT QueryOther(REFIID riid, void** object) {
    for (const Part& part : m_parts) {
      if (part.iid != riid) continue;
      HRESULT hr = Call("QueryInterface", part.label);
      return FAILED(hr) ? hr : part.object->QueryInterface(riid, object);
    }
    return E_NOINTERFACE;
  }
  // Notes "<name>.method(args)" in the call log and answers its plan.
  HRESULT Call(const std::string& method, const std::string& args = "") {
    return calls ? calls->Call(m_name, method, args) : S_OK;
  }

 private:
  struct Part {
    IID iid;
    IUnknown* object;
    std::string label;
  };
  std::vector<Part> m_parts;
  IID m_iid;
  std::string m_name;
  std::vector<std::string>* m_log;
  ULONG m_refs = 0;
  std::function<void()> m_onLastRelease;
};

// A fake of an automation interface: IDispatch itself is not implemented.
template <class Interface>
class DispatchFake : public ComFake<Interface> {
 public:
  using ComFake<Interface>::ComFake;

  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return E_NOTIMPL;
  }
};
