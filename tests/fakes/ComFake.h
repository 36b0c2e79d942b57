#pragma once
// Base of small COM fakes for one interface: a reference count that the test
// reads, and a log line "<name> released" for each Release. The test owns the
// object: the count may reach 0 without deleting it.

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

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
  // Other interfaces of the same object.
  virtual HRESULT QueryOther(REFIID, void**) { return E_NOINTERFACE; }

 private:
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
