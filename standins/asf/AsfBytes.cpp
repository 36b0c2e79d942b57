#include "standins/asf/AsfBytes.h"

namespace {

constexpr size_t kGuidBytes = 16;

}  // namespace

void AsfBytes::Guid(const AsfGuid& guid) {
  U32(guid.data1);
  U16(guid.data2);
  U16(guid.data3);
  Append(guid.data4, sizeof guid.data4);
}

size_t AsfBytes::Begin(const AsfGuid& guid) {
  Guid(guid);
  const size_t sizeField = Size();
  U64(0);
  return sizeField;
}

void AsfBytes::End(size_t sizeField) {
  PutLittleEndian(At(sizeField), Size() - (sizeField - kGuidBytes), 8);
}
