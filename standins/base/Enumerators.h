#pragma once
// The pin and media-type enumerators that filters and pins hand out.

#include <dshow.h>

#include <vector>

namespace standin {

class Filter;
class Pin;

// A snapshot of the filter's pins, taken under its state lock.
HRESULT CreatePinEnumerator(Filter& filter, IEnumPins** pins);
// The pin's own type proposals (Pin::GetMediaType), read as they are asked for.
HRESULT CreateMediaTypeEnumerator(Pin& pin, IEnumMediaTypes** types);

}  // namespace standin
