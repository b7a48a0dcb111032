// The sample classes behind abacus_types.h, implemented on the generic dispatch.
#pragma once

#include <cstdint>
#include <string>

#include "platform/com/connection_point.h"
#include "platform/com/dispatch_object.h"
#include "platform/com/server_module.h"
#include "tests/platform/com/sample/abacus_types.h"

namespace tarvik::platform::com::sample {

enum class AbacusMode : std::int32_t { kSimple = 0, kScientific = 1 };

class Bead : public DispatchObject<Bead> {
 public:
  explicit Bead(std::int32_t value) : value_(value) {}
  static const DispatchTable<Bead>& Bindings();

 private:
  std::int32_t value_;
};

class Abacus : public DispatchObject<Abacus, IConnectionPointContainer> {
 public:
  static const DispatchTable<Abacus>& Bindings();

  HRESULT FindConnectionPoint(const Guid& iid, IConnectionPoint** point) override {
    return events_.Find(iid, point);
  }
  ConnectionPoint& events() { return events_; }

 private:
  // Fires OnRing, then OnTotal with the total.
  void Ring();

  double total_ = 0;
  std::string label_ = "abacus";
  std::string secret_;
  std::int16_t beads_ = 0;  // beads made so far
  AbacusMode mode_ = AbacusMode::kSimple;
  ComPtr<IDispatch> partner_;
  std::int16_t digits_[4] = {0, 0, 0, 0};
  ConnectionPoint events_{*Identity(), kAbacusEvents};
};

// The server library's description (classes and type library).
const ServerModule& SampleModule();

}  // namespace tarvik::platform::com::sample
