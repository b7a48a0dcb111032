// DispatchTable<Self>: late binding driven by type information. The type information says which
// members an interface has (names, DISPIDs, parameters, optional defaults, in/out parameters,
// accessors); the class supplies one typed lambda per member it implements. The table then
// answers GetIDsOfNames and Invoke: it finds the member, checks and converts the arguments,
// calls the lambda and converts its result, and explains every refusal (dispatch.h).
//
//   const DispatchTable<Widget>& Widget::Bindings() {
//     static const DispatchTable<Widget> table =
//         DispatchTable<Widget>(kWidgetClass)
//             .Method("Rename", [](Widget& self, const std::string& from, const std::string& to) {
//               return self.Rename(from, to);           // Boolean result
//             })
//             .Method("ReadText", [](Widget& self, std::string& path) {  // in/out parameter
//               return self.ReadText(path);
//             })
//             .Get("Timeout", [](Widget& self) { return self.timeout_; })
//             .Put("Timeout", [](Widget& self, std::int16_t value) { self.SetTimeout(value); });
//     return table;
//   }
//
// Each lambda takes the object first, then the member's parameters in order (a put takes the new
// value last) with the C++ types of binding_traits.h. A member of the type information that has
// no binding does not exist for callers: its name is unknown to GetIDsOfNames and its DISPID to
// Invoke. Binding mistakes (a name not in the type information, a parameter count or type that
// differs from it, an accessor bound twice) are collected in problems(), which a test of the class
// asserts empty; the mistaken binding is left out.
//
// A lambda must not throw; if one does, the call fails with DISP_E_EXCEPTION and the exception's
// text, and nothing escapes to the caller.
#pragma once

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/com/binding_traits.h"
#include "platform/com/dispatch.h"
#include "platform/com/type_info.h"
#include "platform/com/variant.h"

namespace tarvik::platform::com {

namespace binding_detail {

// What a bound accessor receives: the arguments already converted to the declared types.
struct CallFrame {
  std::span<Variant> values;          // one per parameter (a put's new value last)
  std::span<Variant* const> targets;  // per parameter: the caller's variable of an in/out one
  Variant* result;                    // where the result goes; never null
};

using Thunk = std::function<void(void* self, CallFrame& frame)>;

// The C++ side of a binding, checked against the type information when bound.
struct Shape {
  std::vector<VarType> params;  // ValueTraits<T>::kType of each parameter
  std::vector<bool> in_out;     // parameter taken by non-const reference
  VarType result;               // kEmpty for void
};

}  // namespace binding_detail

// The part of DispatchTable that does not depend on the class.
class DispatchTableBase {
 public:
  // The interface dispatched; `type` is that interface, or a class whose default interface it is.
  explicit DispatchTableBase(const TypeInfo& type);

  const TypeInfo& interface_type() const { return *interface_; }
  // The class, when the table was made from one; else nullptr.
  const TypeInfo* class_type() const { return class_; }
  // Binding mistakes, one text each; empty when every binding matches the type information.
  const std::vector<std::string>& problems() const { return problems_; }
  // Whether member `name` is bound (with any accessor).
  bool IsBound(std::string_view name) const;

  HRESULT GetIDsOfNames(std::string_view name, DispId* id) const;

 protected:
  void Bind(std::string_view name, InvokeFlags kind, binding_detail::Shape shape,
            binding_detail::Thunk thunk);
  HRESULT InvokeOn(void* self, DispId id, InvokeFlags flags, std::span<const Variant> args,
                   Variant* result, InvokeError* error) const;

 private:
  // The accessors bound for one member of the interface: method, get, put, putref.
  using Accessors = std::array<binding_detail::Thunk, 4>;

  bool IsBound(const MemberInfo* member) const;
  std::string CheckShape(const MemberInfo& member, InvokeFlags kind,
                         const binding_detail::Shape& shape) const;

  const TypeInfo* interface_;
  const TypeInfo* class_ = nullptr;
  std::vector<Accessors> bound_;  // parallel to interface_->members
  std::vector<std::string> problems_;
};

template <typename Self>
class DispatchTable : public DispatchTableBase {
 public:
  using DispatchTableBase::DispatchTableBase;

  template <typename F>
  DispatchTable& Method(std::string_view name, F fn) {
    return BindLambda(name, DISPATCH_METHOD, std::move(fn));
  }
  template <typename F>
  DispatchTable& Get(std::string_view name, F fn) {
    return BindLambda(name, DISPATCH_PROPERTYGET, std::move(fn));
  }
  template <typename F>
  DispatchTable& Put(std::string_view name, F fn) {
    return BindLambda(name, DISPATCH_PROPERTYPUT, std::move(fn));
  }
  template <typename F>
  DispatchTable& PutRef(std::string_view name, F fn) {
    return BindLambda(name, DISPATCH_PROPERTYPUTREF, std::move(fn));
  }

  HRESULT Invoke(Self& self, DispId id, InvokeFlags flags, std::span<const Variant> args,
                 Variant* result, InvokeError* error) const {
    return InvokeOn(&self, id, flags, args, result, error);
  }

 private:
  template <typename F>
  DispatchTable& BindLambda(std::string_view name, InvokeFlags kind, F fn) {
    using Signature = binding_detail::LambdaSignature<F>;
    static_assert(std::is_same_v<typename Signature::Self, Self>,
                  "a binding takes the object (Self&) as its first parameter");
    Bind(name, kind, ShapeOf<typename Signature::Result>(typename Signature::Args{}),
         MakeThunk<typename Signature::Result>(std::move(fn), typename Signature::Args{}));
    return *this;
  }

  template <typename R, typename... A>
  static binding_detail::Shape ShapeOf(binding_detail::TypeList<A...>) {
    return {{binding_detail::ValueTraits<std::decay_t<A>>::kType...},
            {binding_detail::kIsInOut<A>...},
            ResultType<R>()};
  }

  template <typename R>
  static constexpr VarType ResultType() {
    if constexpr (std::is_void_v<R>) {
      return VarType::kEmpty;
    } else {
      return binding_detail::ValueTraits<std::decay_t<R>>::kType;
    }
  }

  template <typename R, typename F, typename... A>
  static binding_detail::Thunk MakeThunk(F fn, binding_detail::TypeList<A...>) {
    return [fn = std::move(fn)](void* self, binding_detail::CallFrame& frame) {
      Call<R, A...>(fn, *static_cast<Self*>(self), frame, std::index_sequence_for<A...>{});
    };
  }

  template <typename R, typename... A, typename F, std::size_t... I>
  static void Call(const F& fn, Self& self, binding_detail::CallFrame& frame,
                   std::index_sequence<I...>) {
    using binding_detail::ValueTraits;
    std::tuple<std::decay_t<A>...> values{ValueTraits<std::decay_t<A>>::From(frame.values[I])...};
    if constexpr (std::is_void_v<R>) {
      fn(self, std::get<I>(values)...);
    } else {
      *frame.result = ValueTraits<std::decay_t<R>>::To(fn(self, std::get<I>(values)...));
    }
    (WriteBack<A>(frame.targets[I], std::get<I>(values)), ...);
  }

  template <typename A, typename T>
  static void WriteBack(Variant* target, const T& value) {
    if constexpr (binding_detail::kIsInOut<A>) {
      if (target != nullptr) *target = binding_detail::ValueTraits<T>::To(value);
    }
  }
};

}  // namespace tarvik::platform::com
