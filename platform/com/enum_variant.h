// Enumerators: what a collection's enumerator member (DISPID_NEWENUM, or any member its type
// information names) returns so that a host can walk the items with "For Each".
#pragma once

#include <cstdint>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/com/variant.h"

namespace tarvik::platform::com {

class IEnumVariant : public IUnknown {
 public:
  static constexpr Guid kIid = MakeGuid("{00020404-0000-0000-C000-000000000046}");
  using Base = IUnknown;

  // Copies up to `count` next items into items[0..]; *fetched (may be null when count is 1)
  // receives how many. S_FALSE when fewer than `count` were left.
  virtual HRESULT Next(std::uint32_t count, Variant* items, std::uint32_t* fetched) = 0;
  // Passes over `count` items; S_FALSE when fewer were left.
  virtual HRESULT Skip(std::uint32_t count) = 0;
  // Back to the first item.
  virtual HRESULT Reset() = 0;
  // A second enumerator at the same position.
  virtual HRESULT Clone(IEnumVariant** copy) = 0;
};

// Enumerates a snapshot of items taken at construction (later changes to the collection do not
// disturb a walk in progress).
class VariantEnumerator final : public ComObject<IEnumVariant> {
 public:
  explicit VariantEnumerator(std::vector<Variant> items, std::size_t position = 0)
      : items_(std::move(items)), position_(position) {}

  HRESULT Next(std::uint32_t count, Variant* items, std::uint32_t* fetched) override;
  HRESULT Skip(std::uint32_t count) override;
  HRESULT Reset() override;
  HRESULT Clone(IEnumVariant** copy) override;

 private:
  std::vector<Variant> items_;
  std::size_t position_;  // index of the next item
};

}  // namespace tarvik::platform::com
