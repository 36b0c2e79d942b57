#include "settings/VfwCodecState.h"

#include <cstring>
#include <new>

void VfwCodecState::AlignedDelete::operator()(std::byte* block) const {
  ::operator delete[](block, kAlignment);
}

bool VfwCodecState::Prepare(size_t size) {
  if (m_block && m_size == size) return m_held;
  m_block.reset(static_cast<std::byte*>(::operator new[](size, kAlignment, std::nothrow)));
  m_size = m_block ? size : 0;
  m_held = false;
  if (m_block) std::memset(m_block.get(), 0, size);
  return false;
}
