#include "platform/com/enum_variant.h"

#include <algorithm>

namespace tarvik::platform::com {

HRESULT VariantEnumerator::Next(std::uint32_t count, Variant* items, std::uint32_t* fetched) {
  if (items == nullptr || (fetched == nullptr && count != 1)) return E_POINTER;
  const std::size_t available = std::min<std::size_t>(count, items_.size() - position_);
  for (std::size_t i = 0; i < available; ++i) items[i] = items_[position_ + i];
  position_ += available;
  if (fetched != nullptr) *fetched = static_cast<std::uint32_t>(available);
  return available == count ? S_OK : S_FALSE;
}

HRESULT VariantEnumerator::Skip(std::uint32_t count) {
  const std::size_t skipped = std::min<std::size_t>(count, items_.size() - position_);
  position_ += skipped;
  return skipped == count ? S_OK : S_FALSE;
}

HRESULT VariantEnumerator::Reset() {
  position_ = 0;
  return S_OK;
}

HRESULT VariantEnumerator::Clone(IEnumVariant** copy) {
  if (copy == nullptr) return E_POINTER;
  *copy = MakeObject<VariantEnumerator>(items_, position_).Detach();
  return S_OK;
}

}  // namespace tarvik::platform::com
