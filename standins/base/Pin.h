#pragma once
// The IPin side shared by input and output pins: name, direction, the
// connection and its media type, the type list and the stream state.
// A pin lives inside its filter and shares the filter's reference count.

#include <dshow.h>
#include <wrl/client.h>

#include <string>

#include "standins/base/MediaType.h"

namespace standin {

class Filter;

class Pin : public IPin {
 public:
  Pin(Filter& filter, PIN_DIRECTION direction, std::wstring name);
  virtual ~Pin() = default;
  Pin(const Pin&) = delete;
  Pin& operator=(const Pin&) = delete;

  // IUnknown: references go to the filter.
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IPin
  STDMETHODIMP Disconnect() override;
  STDMETHODIMP ConnectedTo(IPin** pin) override;
  STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
  STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
  STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override;
  STDMETHODIMP QueryId(LPWSTR* id) override;
  STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* mt) override;
  STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
  STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;

  // Whether this pin can take type mt (S_OK) or not (S_FALSE or a failure).
  virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) = 0;
  // The pin's own proposal n, from 0: S_OK, or VFW_S_NO_MORE_ITEMS past the last.
  virtual HRESULT GetMediaType(int n, MediaType& mt);

  // Stop -> Pause (Active) and -> Stop (Inactive), under the filter's state lock.
  virtual HRESULT Active() { return S_OK; }
  virtual HRESULT Inactive() { return S_OK; }

  const std::wstring& Name() const { return m_name; }
  PIN_DIRECTION Direction() const { return m_direction; }
  bool IsConnected() const { return m_connected != nullptr; }
  // The pin at the other end (not owned by the caller), or nullptr.
  IPin* Peer() const { return m_connected.Get(); }
  const MediaType& ConnectionType() const { return m_mt; }
  Filter& Owner() const { return m_filter; }

 protected:
  // After a connection was agreed with peer on m_mt; a failure undoes it.
  virtual HRESULT CompleteConnect(IPin* /*peer*/) { return S_OK; }
  // After the connection was broken.
  virtual void BreakConnect() {}
  virtual HRESULT QueryOther(REFIID, void**) { return E_NOINTERFACE; }

  // Records the connection to peer on type mt (state lock held).
  HRESULT SetConnection(IPin* peer, const AM_MEDIA_TYPE& mt);
  void ClearConnection();

  Filter& m_filter;

 private:
  PIN_DIRECTION m_direction;
  std::wstring m_name;
  Microsoft::WRL::ComPtr<IPin> m_connected;
  MediaType m_mt;
};

}  // namespace standin
