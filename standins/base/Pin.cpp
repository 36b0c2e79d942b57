#include "standins/base/Pin.h"

#include <cstring>

#include "standins/base/ComObject.h"
#include "standins/base/Enumerators.h"
#include "standins/base/Filter.h"

namespace standin {

Pin::Pin(Filter& filter, PIN_DIRECTION direction, std::wstring name)
    : m_filter(filter), m_direction(direction), m_name(std::move(name)) {}

STDMETHODIMP Pin::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid == IID_IUnknown || riid == IID_IPin)
    return GetInterface(static_cast<IPin*>(this), object);
  return QueryOther(riid, object);
}

STDMETHODIMP_(ULONG) Pin::AddRef() { return m_filter.AddRef(); }
STDMETHODIMP_(ULONG) Pin::Release() { return m_filter.Release(); }

STDMETHODIMP Pin::Disconnect() {
  AutoLock lock(m_filter.StateLock());
  if (m_filter.State() != State_Stopped) return VFW_E_NOT_STOPPED;
  if (!m_connected) return S_FALSE;
  ClearConnection();
  BreakConnect();
  return S_OK;
}

STDMETHODIMP Pin::ConnectedTo(IPin** pin) {
  if (!pin) return E_POINTER;
  AutoLock lock(m_filter.StateLock());
  *pin = m_connected.Get();
  if (!*pin) return VFW_E_NOT_CONNECTED;
  (*pin)->AddRef();
  return S_OK;
}

STDMETHODIMP Pin::ConnectionMediaType(AM_MEDIA_TYPE* mt) {
  if (!mt) return E_POINTER;
  AutoLock lock(m_filter.StateLock());
  if (!m_connected) {
    *mt = AM_MEDIA_TYPE{};
    return VFW_E_NOT_CONNECTED;
  }
  return CopyMediaTypeContent(*mt, m_mt.Get());
}

STDMETHODIMP Pin::QueryPinInfo(PIN_INFO* info) {
  if (!info) return E_POINTER;
  info->pFilter = &m_filter;
  m_filter.AddRef();
  info->dir = m_direction;
  const size_t count = std::min(m_name.size(), static_cast<size_t>(MAX_PIN_NAME - 1));
  wmemcpy(info->achName, m_name.c_str(), count);
  info->achName[count] = L'\0';
  return S_OK;
}

STDMETHODIMP Pin::QueryDirection(PIN_DIRECTION* direction) {
  if (!direction) return E_POINTER;
  *direction = m_direction;
  return S_OK;
}

STDMETHODIMP Pin::QueryId(LPWSTR* id) {
  if (!id) return E_POINTER;
  const size_t bytes = (m_name.size() + 1) * sizeof(wchar_t);
  *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
  if (!*id) return E_OUTOFMEMORY;
  memcpy(*id, m_name.c_str(), bytes);
  return S_OK;
}

STDMETHODIMP Pin::QueryAccept(const AM_MEDIA_TYPE* mt) {
  if (!mt) return E_POINTER;
  return CheckMediaType(*mt) == S_OK ? S_OK : S_FALSE;
}

STDMETHODIMP Pin::EnumMediaTypes(IEnumMediaTypes** types) {
  return CreateMediaTypeEnumerator(*this, types);
}

STDMETHODIMP Pin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT Pin::GetMediaType(int, MediaType&) { return VFW_S_NO_MORE_ITEMS; }

HRESULT Pin::SetConnection(IPin* peer, const AM_MEDIA_TYPE& mt) {
  HRESULT hr = m_mt.Set(mt);
  if (FAILED(hr)) return hr;
  m_connected = peer;
  return S_OK;
}

void Pin::ClearConnection() {
  m_connected.Reset();
  m_mt.Clear();
}

}  // namespace standin
