#pragma once
// A pin of a fake filter: its direction, the pin it is connected to and the
// major type of that connection, which is also the one type it offers.
// ConnectedTo, Disconnect, ConnectionMediaType and QueryPinInfo are noted in
// the call log, and fail as it plans.

#include <dshow.h>

#include "fakes/ComFake.h"
#include "fakes/FakeEnum.h"
#include "platform/Str.h"

class FakePin final : public ComFake<IPin> {
 public:
  // owner (not owned) is what QueryPinInfo names.
  FakePin(std::string name, FakeWmCallLog* log, PIN_DIRECTION direction, IBaseFilter* owner,
          const GUID& majorType = GUID_NULL)
      : ComFake(IID_IPin, std::move(name), nullptr),
        m_direction(direction),
        m_owner(owner),
        m_majorType(majorType) {
    calls = log;
    m_offered.majortype = majorType;
  }

  // Connects both pins to each other (not owned).
  void ConnectWith(FakePin& other) {
    peer = &other;
    other.peer = this;
  }
  IPin* peer = nullptr;

  STDMETHODIMP Connect(IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP Disconnect() override {
    HRESULT hr = Call("Disconnect");
    if (SUCCEEDED(hr)) peer = nullptr;
    return hr;
  }
  STDMETHODIMP ConnectedTo(IPin** pin) override {
    *pin = nullptr;
    HRESULT hr = Call("ConnectedTo");
    if (FAILED(hr)) return hr;
    if (!peer) return VFW_E_NOT_CONNECTED;
    *pin = peer;
    peer->AddRef();
    return S_OK;
  }
  STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* type) override {
    *type = AM_MEDIA_TYPE{};
    HRESULT hr = Call("ConnectionMediaType");
    if (FAILED(hr)) return hr;
    if (!peer) return VFW_E_NOT_CONNECTED;
    type->majortype = m_majorType;
    return S_OK;
  }
  STDMETHODIMP QueryPinInfo(PIN_INFO* info) override {
    info->pFilter = m_owner;
    if (m_owner) m_owner->AddRef();
    info->dir = m_direction;
    str::ToWide(Name().c_str(), info->achName, MAX_PIN_NAME);
    return S_OK;
  }
  STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override {
    *direction = m_direction;
    return S_OK;
  }
  STDMETHODIMP QueryId(LPWSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override {
    *types = new FakeEnum<IEnumMediaTypes, AM_MEDIA_TYPE>({&m_offered});
    return S_OK;
  }
  STDMETHODIMP QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
  STDMETHODIMP EndOfStream() override { return E_NOTIMPL; }
  STDMETHODIMP BeginFlush() override { return E_NOTIMPL; }
  STDMETHODIMP EndFlush() override { return E_NOTIMPL; }
  STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return E_NOTIMPL; }

 private:
  PIN_DIRECTION m_direction;
  IBaseFilter* m_owner;
  GUID m_majorType;
  AM_MEDIA_TYPE m_offered = {};
};
