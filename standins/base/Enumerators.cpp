#include "standins/base/Enumerators.h"

#include <new>

#include "standins/base/ComObject.h"
#include "standins/base/Filter.h"
#include "standins/base/Pin.h"

namespace standin {

namespace {

class PinEnumerator final : public IEnumPins {
 public:
  PinEnumerator(std::vector<IPin*> pins, size_t position)
      : m_pins(std::move(pins)), m_position(position) {
    for (IPin* pin : m_pins) pin->AddRef();
  }
  ~PinEnumerator() {
    for (IPin* pin : m_pins) pin->Release();
  }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IEnumPins)
      return GetInterface(static_cast<IEnumPins*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STANDIN_REFCOUNTED_OBJECT

  STDMETHODIMP Next(ULONG count, IPin** pins, ULONG* fetched) override {
    if (!pins || (count > 1 && !fetched)) return E_POINTER;
    ULONG done = 0;
    while (done < count && m_position < m_pins.size()) {
      pins[done] = m_pins[m_position++];
      pins[done++]->AddRef();
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    if (count > m_pins.size() - m_position) {
      m_position = m_pins.size();
      return S_FALSE;
    }
    m_position += count;
    return S_OK;
  }
  STDMETHODIMP Reset() override {
    m_position = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumPins** copy) override {
    if (!copy) return E_POINTER;
    *copy = new (std::nothrow) PinEnumerator(m_pins, m_position);
    return *copy ? S_OK : E_OUTOFMEMORY;
  }

 private:
  RefCount m_refs;
  std::vector<IPin*> m_pins;
  size_t m_position;
};

class MediaTypeEnumerator final : public IEnumMediaTypes {
 public:
  MediaTypeEnumerator(Pin& pin, int position) : m_pin(pin), m_position(position) { m_pin.AddRef(); }
  ~MediaTypeEnumerator() { m_pin.Release(); }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IEnumMediaTypes)
      return GetInterface(static_cast<IEnumMediaTypes*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STANDIN_REFCOUNTED_OBJECT

  STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override {
    if (!types || (count > 1 && !fetched)) return E_POINTER;
    ULONG done = 0;
    MediaType mt;
    while (done < count && m_pin.GetMediaType(m_position, mt) == S_OK) {
      types[done] = NewTaskMediaType(mt.Get());
      if (!types[done]) break;
      ++done;
      ++m_position;
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    MediaType mt;
    for (ULONG i = 0; i < count; ++i, ++m_position)
      if (m_pin.GetMediaType(m_position, mt) != S_OK) return S_FALSE;
    return S_OK;
  }
  STDMETHODIMP Reset() override {
    m_position = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumMediaTypes** copy) override {
    if (!copy) return E_POINTER;
    *copy = new (std::nothrow) MediaTypeEnumerator(m_pin, m_position);
    return *copy ? S_OK : E_OUTOFMEMORY;
  }

 private:
  RefCount m_refs;
  Pin& m_pin;
  int m_position;
};

}  // namespace

HRESULT CreatePinEnumerator(Filter& filter, IEnumPins** pins) {
  if (!pins) return E_POINTER;
  std::vector<IPin*> snapshot;
  {
    AutoLock lock(filter.StateLock());
    for (int i = 0; i < filter.PinCount(); ++i) snapshot.push_back(filter.PinAt(i));
  }
  *pins = new (std::nothrow) PinEnumerator(std::move(snapshot), 0);
  return *pins ? S_OK : E_OUTOFMEMORY;
}

HRESULT CreateMediaTypeEnumerator(Pin& pin, IEnumMediaTypes** types) {
  if (!types) return E_POINTER;
  *types = new (std::nothrow) MediaTypeEnumerator(pin, 0);
  return *types ? S_OK : E_OUTOFMEMORY;
}

}  // namespace standin
