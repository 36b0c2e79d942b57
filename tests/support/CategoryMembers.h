#pragma once
// Members that a test registers in a category of the system device
// enumerator, and filter objects served to them, all removed again when the
// helper goes. Registered members come before the codec entries of the
// category and enumerate in the order of their instance names.

#include <dshow.h>

#include <string>
#include <vector>

class CategoryMembers {
 public:
  explicit CategoryMembers(const CLSID& category);
  ~CategoryMembers();
  CategoryMembers(const CategoryMembers&) = delete;
  CategoryMembers& operator=(const CategoryMembers&) = delete;

  // A member named friendlyName whose binding creates an object of clsid.
  bool Add(const wchar_t* instance, const wchar_t* friendlyName, const CLSID& clsid);
  // A member with a property bag but no FriendlyName value.
  bool AddNameless(const wchar_t* instance, const CLSID& clsid);
  // Takes the members registered before (the stand-ins) out of the category
  // until the helper goes.
  bool HideRegistered();

 private:
  std::wstring InstancesKey() const;
  std::wstring InstanceKey(const wchar_t* instance) const;
  std::wstring HiddenKey() const;

  CLSID m_category;
  std::vector<std::wstring> m_instances;
  HKEY m_hidden = nullptr;  // a copy of the Instance key as it was
};

// While it lives, CoCreateInstance of clsid in this process gives filter
// (not owned).
class ServedFilter final : public IClassFactory {
 public:
  ServedFilter(const CLSID& clsid, IBaseFilter* filter);
  ~ServedFilter();
  ServedFilter(const ServedFilter&) = delete;
  ServedFilter& operator=(const ServedFilter&) = delete;

  bool Registered() const { return m_cookie != 0; }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  IBaseFilter* m_filter;
  DWORD m_cookie = 0;
};

// A class identifier of its own for each number.
CLSID TestClass(unsigned number);
