// Status codes of the object model, with the numbers and meanings of their Win32 namesakes:
// negative values are failures, S_OK and S_FALSE are successes.
#pragma once

#include <cstdint>
#include <string>

namespace tarvik::platform::com {

using HRESULT = std::int32_t;

namespace status_detail {
constexpr HRESULT Code(std::uint32_t bits) {
  return static_cast<HRESULT>(bits);
}
}  // namespace status_detail

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;  // success with a "no" or "fewer than asked" answer

// General failures.
inline constexpr HRESULT E_NOTIMPL = status_detail::Code(0x80004001);
// The object does not offer the interface asked for.
inline constexpr HRESULT E_NOINTERFACE = status_detail::Code(0x80004002);
// A required pointer (usually an out-pointer) was null.
inline constexpr HRESULT E_POINTER = status_detail::Code(0x80004003);
inline constexpr HRESULT E_FAIL = status_detail::Code(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = status_detail::Code(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = status_detail::Code(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = status_detail::Code(0x80070057);

// Dispatch (late-bound calls).
// No member with that DISPID, or the member lacks the accessor asked for (a write-only property
// read, a method called as a property put).
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = status_detail::Code(0x80020003);
// As a status: no such argument. As the value of an error variant: "argument omitted".
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = status_detail::Code(0x80020004);
// An argument cannot be converted to the parameter's type, or an in/out argument was not passed
// by reference.
inline constexpr HRESULT DISP_E_TYPEMISMATCH = status_detail::Code(0x80020005);
// The name is not a member of the object.
inline constexpr HRESULT DISP_E_UNKNOWNNAME = status_detail::Code(0x80020006);
inline constexpr HRESULT DISP_E_BADVARTYPE = status_detail::Code(0x80020008);
// The member itself failed; the error description says how.
inline constexpr HRESULT DISP_E_EXCEPTION = status_detail::Code(0x80020009);
// A value does not fit the target type (a Long of 40000 for an Integer).
inline constexpr HRESULT DISP_E_OVERFLOW = status_detail::Code(0x8002000A);
inline constexpr HRESULT DISP_E_BADINDEX = status_detail::Code(0x8002000B);
// More arguments than parameters, or fewer than the required ones.
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = status_detail::Code(0x8002000E);
// A required argument was passed as "omitted".
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = status_detail::Code(0x8002000F);

// Classes, registration and activation.
inline constexpr HRESULT CLASS_E_NOAGGREGATION = status_detail::Code(0x80040110);
// The server library does not make the class asked for.
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = status_detail::Code(0x80040111);
// No server is registered for the class identifier.
inline constexpr HRESULT REGDB_E_CLASSNOTREG = status_detail::Code(0x80040154);
// The ProgID is not registered, or a class identifier text is malformed.
inline constexpr HRESULT CO_E_CLASSSTRING = status_detail::Code(0x800401F3);
// The registered server library failed to load.
inline constexpr HRESULT CO_E_DLLNOTFOUND = status_detail::Code(0x800401F8);
// The server library lacks an entry point it must export.
inline constexpr HRESULT CO_E_ERRORINDLL = status_detail::Code(0x800401F9);

// Connection points.
// Unadvise with a cookie that names no connection.
inline constexpr HRESULT CONNECT_E_NOCONNECTION = status_detail::Code(0x80040200);
// The sink offers neither the event interface nor IDispatch.
inline constexpr HRESULT CONNECT_E_CANNOTCONNECT = status_detail::Code(0x80040202);

constexpr bool Succeeded(HRESULT status) {
  return status >= 0;
}
constexpr bool Failed(HRESULT status) {
  return status < 0;
}

// A Win32 error code (such as a registry result) as a status: 0x8007xxxx, or S_OK for 0.
constexpr HRESULT HResultFromWin32(long code) {
  return code <= 0 ? static_cast<HRESULT>(code)
                   : status_detail::Code(0x80070000u | (static_cast<std::uint32_t>(code) & 0xFFFF));
}

// A short English text for `status`, e.g. "Type mismatch." or "Class not registered."; codes
// without a text of their own read "Error 0x8XXXXXXX.".
std::string StatusText(HRESULT status);

// `status` as eight hex digits with "0x", the way status codes are quoted: "0x80020006".
std::string StatusHex(HRESULT status);

}  // namespace tarvik::platform::com
