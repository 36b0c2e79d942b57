#include "support/CategoryMembers.h"

#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = L"";
  StringFromGUID2(guid, text, 40);
  return text;
}

}  // namespace

CategoryMembers::CategoryMembers(const CLSID& category) : m_category(category) {}

CategoryMembers::~CategoryMembers() {
  for (const std::wstring& instance : m_instances)
    RegDeleteTreeW(HKEY_CLASSES_ROOT, InstanceKey(instance.c_str()).c_str());
  if (!m_hidden) return;
  HKEY instances = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, InstancesKey().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &instances, nullptr) == ERROR_SUCCESS) {
    RegCopyTreeW(m_hidden, nullptr, instances);
    RegCloseKey(instances);
  }
  RegCloseKey(m_hidden);
  RegDeleteTreeW(HKEY_CURRENT_USER, HiddenKey().c_str());
}

// The members wait in a scratch key of the user's; a copy left by a test that
// crashed is dropped (the next run registers the stand-ins again).
bool CategoryMembers::HideRegistered() {
  RegDeleteTreeW(HKEY_CURRENT_USER, HiddenKey().c_str());
  if (RegCreateKeyExW(HKEY_CURRENT_USER, HiddenKey().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &m_hidden, nullptr) != ERROR_SUCCESS)
    return false;
  HKEY instances = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, InstancesKey().c_str(), 0, KEY_READ, &instances) !=
      ERROR_SUCCESS)
    return true;  // nothing registered
  const bool copied = RegCopyTreeW(instances, nullptr, m_hidden) == ERROR_SUCCESS;
  RegCloseKey(instances);
  return copied && RegDeleteTreeW(HKEY_CLASSES_ROOT, InstancesKey().c_str()) == ERROR_SUCCESS;
}

std::wstring CategoryMembers::InstancesKey() const {
  return L"CLSID\\" + GuidText(m_category) + L"\\Instance";
}

std::wstring CategoryMembers::InstanceKey(const wchar_t* instance) const {
  return InstancesKey() + L"\\" + instance;
}

std::wstring CategoryMembers::HiddenKey() const {
  return L"Software\\ConverterTests\\HiddenMembers\\" + GuidText(m_category);
}

bool CategoryMembers::Add(const wchar_t* instance, const wchar_t* friendlyName,
                          const CLSID& clsid) {
  ComPtr<IFilterMapper2> mapper;
  if (FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&mapper))))
    return false;
  REGFILTER2 filter = {};
  filter.dwVersion = 1;
  filter.dwMerit = MERIT_DO_NOT_USE;
  m_instances.push_back(instance);
  return SUCCEEDED(
      mapper->RegisterFilter(clsid, friendlyName, nullptr, &m_category, instance, &filter));
}

bool CategoryMembers::AddNameless(const wchar_t* instance, const CLSID& clsid) {
  m_instances.push_back(instance);
  const std::wstring clsidText = GuidText(clsid);
  return RegSetKeyValueW(
             HKEY_CLASSES_ROOT, InstanceKey(instance).c_str(), L"CLSID", REG_SZ, clsidText.c_str(),
             static_cast<DWORD>((clsidText.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

ServedFilter::ServedFilter(const CLSID& clsid, IBaseFilter* filter) : m_filter(filter) {
  if (FAILED(
          CoRegisterClassObject(clsid, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie)))
    m_cookie = 0;
}

ServedFilter::~ServedFilter() {
  if (m_cookie) CoRevokeClassObject(m_cookie);
}

STDMETHODIMP ServedFilter::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IClassFactory) {
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP ServedFilter::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return m_filter->QueryInterface(riid, object);
}

CLSID TestClass(unsigned number) {
  // {5E7C0000-1D2B-4C3A-9F00-6A1B2C3D4E5F} with the number in the first field.
  CLSID clsid = {
      0x5E7C0000u + number, 0x1D2B, 0x4C3A, {0x9F, 0x00, 0x6A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}};
  return clsid;
}
