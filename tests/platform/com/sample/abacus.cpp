#include "tests/platform/com/sample/abacus.h"

#include <stdexcept>

#include "platform/com/server_module.h"

namespace tarvik::platform::com::sample {

const DispatchTable<Bead>& Bead::Bindings() {
  static const DispatchTable<Bead> table =
      DispatchTable<Bead>(kBeadClass).Get("Value", [](Bead& self) { return self.value_; });
  return table;
}

const DispatchTable<Abacus>& Abacus::Bindings() {
  static const DispatchTable<Abacus> table =
      DispatchTable<Abacus>(kAbacusClass)
          .Method("Add", [](Abacus&, std::int32_t a,
                            std::int32_t b) { return static_cast<double>(a) + b; })
          .Method("Describe", [](Abacus&, const std::string& subject,
                                 const std::string& detail) { return subject + ": " + detail; })
          .Method("Append",
                  [](Abacus&, std::string& text, const std::string& suffix) {
                    text += suffix;
                    return true;
                  })
          .Method("Scale", [](Abacus& self, std::int16_t factor) { return self.total_ * factor; })
          .Method("Ring", [](Abacus& self) { self.Ring(); })
          .Method("Fail", [](Abacus&) { throw std::runtime_error("the abacus is jammed"); })
          .Method("MakeBead",
                  [](Abacus& self, std::int32_t value) {
                    ++self.beads_;
                    return MakeObject<Bead>(value);
                  })
          .Method("Kind",
                  [](Abacus&, const Variant& item) {
                    return item.is_missing() ? std::string("Missing")
                                             : std::string(VarTypeName(item.type()));
                  })
          .Method("Stamp", [](Abacus&, Date when) { return Variant(when).ToText(); })
          .Get("Total", [](Abacus& self) { return self.total_; })
          .Put("Total", [](Abacus& self, double total) { self.total_ = total; })
          .Get("Label", [](Abacus& self) { return self.label_; })
          .Put("Label", [](Abacus& self, const std::string& label) { self.label_ = label; })
          .Put("Secret", [](Abacus& self, const std::string& secret) { self.secret_ = secret; })
          .Get("Beads", [](Abacus& self) { return self.beads_; })
          .Get("Mode", [](Abacus& self) { return self.mode_; })
          .Put("Mode", [](Abacus& self, AbacusMode mode) { self.mode_ = mode; })
          .Get("Partner", [](Abacus& self) { return self.partner_; })
          .PutRef("Partner",
                  [](Abacus& self, ComPtr<IDispatch> partner) { self.partner_ = partner; })
          .Get("Digit",
               [](Abacus& self, std::int16_t position) -> std::int16_t {
                 if (position < 0 || position > 3) throw std::out_of_range("no such digit");
                 return self.digits_[position];
               })
          .Put("Digit", [](Abacus& self, std::int16_t position, std::int16_t digit) {
            if (position < 0 || position > 3) throw std::out_of_range("no such digit");
            self.digits_[position] = digit;
          });
  return table;
}

void Abacus::Ring() {
  events_.Fire(1);
  const Variant total[] = {Variant(total_)};
  events_.Fire(2, total);
}

const ServerModule& SampleModule() {
  static constexpr ServerClass kClasses[] = {
      {&kAbacusClass, kAbacusProgId, &MakeInstance<Abacus>},
      {&kBeadClass, "", nullptr},
  };
  static constexpr ServerModule kModule{&kSampleLibrary, kClasses};
  return kModule;
}

}  // namespace tarvik::platform::com::sample
