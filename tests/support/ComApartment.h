#pragma once
// COM on this thread, in a single-threaded apartment, while it lives. A fixture
// declares it before the members that hold COM objects, so that they are let
// go before COM ends.

#include <objbase.h>

class ComApartment {
 public:
  ComApartment() : m_entered(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComApartment() {
    if (m_entered) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  bool Entered() const { return m_entered; }

 private:
  bool m_entered;
};
