// Variant::ChangeType: the conversion rules listed in variant.h.
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "platform/com/dispatch.h"
#include "platform/com/variant.h"
#include "platform/text/ascii_text.h"
#include "platform/text/number_text.h"
#include "platform/time/date_format.h"
#include "platform/time/local_time.h"

namespace tarvik::platform::com {
namespace {

// The automation date range: 1/1/100 .. 12/31/9999 23:59:59.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958466.0;

// A decimal number: [+-]digits[.digits][(e|E)[+-]digits], at least one digit before the exponent.
// Refuses hex, "inf" and "nan", which the C library would otherwise accept.
std::optional<double> ParseNumber(std::string_view text) {
  text = Trim(text, kSpacesAndTabs);
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponent_digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++exponent_digits;
    if (exponent_digits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Numbers "a<sep>b<sep>c" of a date.
std::optional<SystemTime> ParseDatePart(std::string_view text) {
  int fields[3] = {0, 0, 0};
  char separator = 0;
  std::size_t i = 0;
  for (int field = 0; field < 3; ++field) {
    if (field > 0) {
      if (i >= text.size()) return std::nullopt;
      if (separator == 0 && (text[i] == '/' || text[i] == '-')) separator = text[i];
      if (text[i] != separator) return std::nullopt;
      ++i;
    }
    const auto [end, error] =
        std::from_chars(text.data() + i, text.data() + text.size(), fields[field]);
    if (error != std::errc()) return std::nullopt;
    i = static_cast<std::size_t>(end - text.data());
  }
  if (i != text.size()) return std::nullopt;
  SystemTime time;
  if (separator == '/') {  // M/d/yyyy
    time.month = fields[0];
    time.day = fields[1];
    time.year = fields[2];
  } else {  // yyyy-M-d
    time.year = fields[0];
    time.month = fields[1];
    time.day = fields[2];
  }
  return time;
}

// "M/d/yyyy", "yyyy-M-d", either with a time after a blank, or a time alone.
std::optional<double> ParseDate(std::string_view text) {
  text = Trim(text, kSpacesAndTabs);
  const std::size_t blank = text.find(' ');
  const std::string_view date_text = text.substr(0, blank);
  std::optional<SystemTime> time = ParseDatePart(date_text);
  if (!time) {
    time = ParseTimeOfDay(text);  // a time alone
  } else if (blank != std::string_view::npos) {
    const std::optional<SystemTime> of_day =
        ParseTimeOfDay(Trim(text.substr(blank + 1), kSpacesAndTabs));
    if (!of_day) return std::nullopt;
    time->hour = of_day->hour;
    time->minute = of_day->minute;
    time->second = of_day->second;
  }
  if (!time || !IsValidSystemTime(*time)) return std::nullopt;
  return ToOleDate(*time);
}

std::string FormatDate(double days) {
  const std::optional<SystemTime> time = FromOleDate(days);
  return time ? GeneralDateText(*time) : DoubleToText(days);
}

// Rounds half to even, the rounding of automation integer conversions.
double RoundHalfEven(double value) {
  return std::nearbyint(value);
}

HRESULT FromNumber(double number, VarType from, VarType to, Variant* out) {
  switch (to) {
    case VarType::kBoolean:
      *out = Variant(number != 0);
      return S_OK;
    case VarType::kDouble:
      *out = Variant(number);
      return S_OK;
    case VarType::kInteger:
    case VarType::kLong: {
      if (std::isnan(number)) return DISP_E_OVERFLOW;
      const double rounded = RoundHalfEven(number);
      const double low = to == VarType::kInteger ? -32768.0 : -2147483648.0;
      const double high = to == VarType::kInteger ? 32767.0 : 2147483647.0;
      if (rounded < low || rounded > high) return DISP_E_OVERFLOW;
      if (to == VarType::kInteger) {
        *out = Variant(static_cast<std::int16_t>(rounded));
      } else {
        *out = Variant(static_cast<std::int32_t>(rounded));
      }
      return S_OK;
    }
    case VarType::kDate:
      if (!(number >= kMinDate && number < kMaxDate)) return DISP_E_OVERFLOW;
      *out = Variant(Date{number});
      return S_OK;
    case VarType::kString:
      switch (from) {
        case VarType::kEmpty:
          *out = Variant(std::string());
          return S_OK;
        case VarType::kBoolean:
          *out = Variant(number != 0 ? "True" : "False");
          return S_OK;
        case VarType::kDate:
          *out = Variant(FormatDate(number));
          return S_OK;
        default:
          *out = Variant(DoubleToText(number));
          return S_OK;
      }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT FromText(const std::string& text, VarType to, Variant* out) {
  if (to == VarType::kDate) {
    const std::optional<double> days = ParseDate(text);
    if (!days) return DISP_E_TYPEMISMATCH;
    *out = Variant(Date{*days});
    return S_OK;
  }
  if (to == VarType::kBoolean) {
    const std::string_view trimmed = Trim(text, kSpacesAndTabs);
    if (NamesEqual(trimmed, "True") || NamesEqual(trimmed, "False")) {
      *out = Variant(NamesEqual(trimmed, "True"));
      return S_OK;
    }
  }
  const std::optional<double> number = ParseNumber(text);
  if (!number) return DISP_E_TYPEMISMATCH;
  return FromNumber(*number, VarType::kDouble, to, out);
}

// The numeric value of a simple (non-text, non-object, non-error) variant.
std::optional<double> NumberOf(const Variant& value) {
  switch (value.type()) {
    case VarType::kEmpty:
      return 0.0;
    case VarType::kBoolean:
      return *value.Get<bool>() ? -1.0 : 0.0;
    case VarType::kInteger:
      return *value.Get<std::int16_t>();
    case VarType::kLong:
      return *value.Get<std::int32_t>();
    case VarType::kDouble:
      return *value.Get<double>();
    case VarType::kDate:
      return value.Get<Date>()->days;
    default:
      return std::nullopt;
  }
}

// The default member's value of an object, or nullopt when it has none that is not an object.
std::optional<Variant> DefaultValueOf(IDispatch* object) {
  if (object == nullptr) return std::nullopt;
  Variant value;
  if (Failed(object->Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET | DISPATCH_METHOD, {}, &value,
                            nullptr))) {
    return std::nullopt;
  }
  const VarType type = value.type();
  if (type == VarType::kObject || type == VarType::kUnknown || type == VarType::kError) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

HRESULT Variant::ChangeType(VarType to, Variant* out) const {
  if (out == nullptr) return E_POINTER;
  const Variant& source = value();
  const VarType from = source.type();
  if (to == VarType::kVariant || to == from) {
    if (out != &source) *out = Variant(source);  // a copy: `out` may be this reference
    return S_OK;
  }
  if (to == VarType::kEmpty) {
    *out = Variant();
    return S_OK;
  }
  switch (from) {
    case VarType::kError:
      return DISP_E_TYPEMISMATCH;
    case VarType::kUnknown: {
      const ComPtr<IUnknown>& unknown = *source.Get<ComPtr<IUnknown>>();
      ComPtr<IDispatch> object;
      if (unknown && Failed(unknown.As(&object))) return DISP_E_TYPEMISMATCH;
      return Variant(std::move(object)).ChangeType(to, out);
    }
    case VarType::kObject: {
      const ComPtr<IDispatch>& object = *source.Get<ComPtr<IDispatch>>();
      if (to == VarType::kUnknown) {
        *out = FromUnknown(IdentityOf(object.get()));
        return S_OK;
      }
      const std::optional<Variant> default_value = DefaultValueOf(object.get());
      if (!default_value) return DISP_E_TYPEMISMATCH;
      return default_value->ChangeType(to, out);
    }
    case VarType::kString:
      if (to == VarType::kObject || to == VarType::kUnknown || to == VarType::kError) {
        return DISP_E_TYPEMISMATCH;
      }
      return FromText(*source.Get<std::string>(), to, out);
    default:
      break;
  }
  if (to == VarType::kObject || to == VarType::kUnknown || to == VarType::kError) {
    return DISP_E_TYPEMISMATCH;
  }
  const std::optional<double> number = NumberOf(source);
  if (!number) return DISP_E_BADVARTYPE;
  return FromNumber(*number, from, to, out);
}

}  // namespace tarvik::platform::com
