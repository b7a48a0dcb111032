#include "platform/com/status.h"

#include <cstdio>

namespace tarvik::platform::com {
namespace {

struct StatusEntry {
  HRESULT status;
  const char* text;
};

constexpr StatusEntry kStatusTexts[] = {
    {S_OK, "The operation completed successfully."},
    {S_FALSE, "The operation completed with a negative answer."},
    {E_NOTIMPL, "Not implemented."},
    {E_NOINTERFACE, "No such interface supported."},
    {E_POINTER, "Invalid pointer."},
    {E_FAIL, "Unspecified error."},
    {E_UNEXPECTED, "Catastrophic failure."},
    {E_OUTOFMEMORY, "Not enough memory."},
    {E_INVALIDARG, "The parameter is incorrect."},
    {DISP_E_MEMBERNOTFOUND, "Member not found."},
    {DISP_E_PARAMNOTFOUND, "Parameter not found."},
    {DISP_E_TYPEMISMATCH, "Type mismatch."},
    {DISP_E_UNKNOWNNAME, "Unknown name."},
    {DISP_E_BADVARTYPE, "Bad variable type."},
    {DISP_E_EXCEPTION, "Exception occurred."},
    {DISP_E_OVERFLOW, "Out of present range."},
    {DISP_E_BADINDEX, "Invalid index."},
    {DISP_E_BADPARAMCOUNT, "Invalid number of parameters."},
    {DISP_E_PARAMNOTOPTIONAL, "Parameter not optional."},
    {CLASS_E_NOAGGREGATION, "Class does not support aggregation."},
    {CLASS_E_CLASSNOTAVAILABLE, "ClassFactory cannot supply requested class."},
    {REGDB_E_CLASSNOTREG, "Class not registered."},
    {CO_E_CLASSSTRING, "Invalid class string."},
    {CO_E_DLLNOTFOUND, "The server library could not be loaded."},
    {CO_E_ERRORINDLL, "The server library lacks an entry point."},
    {CONNECT_E_NOCONNECTION, "No connection with that cookie."},
    {CONNECT_E_CANNOTCONNECT, "The sink does not support the event interface."},
};

}  // namespace

std::string StatusHex(HRESULT status) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(status));
  return text;
}

std::string StatusText(HRESULT status) {
  for (const StatusEntry& entry : kStatusTexts) {
    if (entry.status == status) return entry.text;
  }
  if ((static_cast<std::uint32_t>(status) & 0xFFFF0000u) == 0x80070000u) {
    return "System error " + std::to_string(status & 0xFFFF) + ".";
  }
  return "Error " + StatusHex(status) + ".";
}

}  // namespace tarvik::platform::com
