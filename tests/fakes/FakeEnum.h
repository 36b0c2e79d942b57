#pragma once
// An enumerator (IEnumPins, IEnumFilters, IEnumMediaTypes) over a snapshot of
// objects that the test owns. It deletes itself when its last reference goes.

#include <windows.h>
#include <dshow.h>

#include <vector>

// What Next hands out: another reference to an object, or a copy of a media
// type in task memory (the fakes' types have no format block).
template <class Item>
Item* HandOut(Item* item) {
  item->AddRef();
  return item;
}
inline AM_MEDIA_TYPE* HandOut(AM_MEDIA_TYPE* type) {
  auto* copy = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof *type));
  *copy = *type;
  return copy;
}

template <class Enum, class Item>
class FakeEnum final : public Enum {
 public:
  explicit FakeEnum(std::vector<Item*> items) : m_items(std::move(items)) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = riid == IID_IUnknown || riid == __uuidof(Enum) ? this : nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() override {
    if (--m_refs) return m_refs;
    delete this;
    return 0;
  }
  STDMETHODIMP Next(ULONG count, Item** items, ULONG* fetched) override {
    ULONG n = 0;
    for (; n < count && m_next < m_items.size(); ++n, ++m_next) {
      items[n] = HandOut(m_items[m_next]);
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    m_next += count;
    return m_next <= m_items.size() ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    m_next = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(Enum**) override { return E_NOTIMPL; }

 private:
  std::vector<Item*> m_items;
  size_t m_next = 0;
  ULONG m_refs = 1;  // the caller's
};
