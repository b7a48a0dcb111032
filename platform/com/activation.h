// Creating objects of registered classes: find the class's server library through the registry
// (CLSID\{clsid}\InprocServer32, written by registration.h), load it, ask its DllGetClassObject
// for the class factory and let the factory make the object.
//
// Loaded server libraries stay loaded until CoFreeUnusedLibraries finds that their
// DllCanUnloadNow allows unloading. Type information obtained from an object points into its
// library: drop it together with the objects.
//
// Every call here may take `detail`, which on failure receives a sentence naming the class and
// what was missing: the ProgID, the CLSID key, the library file (with the loader's message), the
// entry point, or the class in the library.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/dispatch.h"
#include "platform/com/guid.h"
#include "platform/com/status.h"
#include "platform/com/unknown.h"

namespace tarvik::platform::com {

// The CLSID registered for `prog_id` (<ProgID>\CLSID). CO_E_CLASSSTRING when the ProgID is not
// registered or names no valid CLSID.
HRESULT CLSIDFromProgID(std::string_view prog_id, Guid* clsid, std::string* detail = nullptr);

// `text` as a CLSID: "{XXXXXXXX-...}" as is, anything else as a ProgID.
HRESULT CLSIDFromString(std::string_view text, Guid* clsid, std::string* detail = nullptr);

// The class object (factory) of `clsid`, asked for `iid`. REGDB_E_CLASSNOTREG when no server is
// registered, CO_E_DLLNOTFOUND when its library fails to load, CO_E_ERRORINDLL when the library
// lacks DllGetClassObject, else what DllGetClassObject answers.
HRESULT CoGetClassObject(const Guid& clsid, const Guid& iid, void** object,
                         std::string* detail = nullptr);

// A new object of class `clsid`, asked for `iid`. `outer` must be null (no aggregation).
HRESULT CoCreateInstance(const Guid& clsid, IUnknown* outer, const Guid& iid, void** object,
                         std::string* detail = nullptr);

// Unloads every server library whose DllCanUnloadNow answers S_OK.
void CoFreeUnusedLibraries();

// What a script's CreateObject does: a new object of the class named by ProgID or "{CLSID}", as
// its dispatch interface.
HRESULT CreateObject(std::string_view class_name, ComPtr<IDispatch>* object,
                     std::string* detail = nullptr);

}  // namespace tarvik::platform::com
