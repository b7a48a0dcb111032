// An early-bound client of the control: it calls members through the vtable of _FtpLibrary as the
// header generated from the type library declares it (as VBA and .NET clients do), never through
// IDispatch. Prints one line per case and a closing "N passed, N failed"; exits non-zero on a
// failure.
//   early_binding_client <host> <port> <user> <password>
#include <initguid.h>

#include "tarvikftp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int passed = 0;
int failed = 0;

void Check(const char* name, bool ok, const std::wstring& detail = L"") {
  ++(ok ? passed : failed);
  std::printf("%s - %s%s%ls\n", ok ? "ok" : "FAIL", name, detail.empty() ? "" : ": ",
              detail.c_str());
}

std::wstring Wide(const char* text) {
  return std::wstring(text, text + std::strlen(text));
}

// Holds a BSTR for the length of a call.
struct Text {
  explicit Text(const std::wstring& text) : value(SysAllocString(text.c_str())) {}
  Text() = default;
  ~Text() { SysFreeString(value); }
  std::wstring str() const { return value != nullptr ? value : L""; }
  BSTR value = nullptr;
};

void RunCases(_FtpLibrary* control, const char* host, long port, const char* user,
              const char* password) {
  VARIANT_BOOL connected = VARIANT_TRUE;
  Check("Connected before anything is False",
        SUCCEEDED(control->get_Connected(&connected)) && connected == VARIANT_FALSE);

  Text size;
  Check("FormatSize through the vtable",
        SUCCEEDED(control->FormatSize(1024.0, &size.value)) && !size.str().empty(), size.str());

  Text server(Wide(host)), name(Wide(user)), secret(Wide(password));
  const bool set = SUCCEEDED(control->put_ServerName(server.value)) &&
                   SUCCEEDED(control->put_Port(port)) &&
                   SUCCEEDED(control->put_Username(name.value)) &&
                   SUCCEEDED(control->put_Password(secret.value));
  Text read_back;
  Check(
      "properties written and read back",
      set && SUCCEEDED(control->get_ServerName(&read_back.value)) && read_back.str() == Wide(host),
      read_back.str());

  VARIANT_BOOL ok = VARIANT_FALSE;
  Check("Connect logs in", SUCCEEDED(control->Connect(&ok)) && ok == VARIANT_TRUE);

  Text directory;
  Check("GetCurrentDirectory",
        SUCCEEDED(control->GetCurrentDirectory(&directory.value)) && directory.str() == L"/",
        directory.str());

  _CFtpFiles* files = nullptr;
  Text root(L"/");
  short count = 0;
  const bool listed = SUCCEEDED(control->GetFtpDirectoryInfo(root.value, &files)) &&
                      files != nullptr && SUCCEEDED(files->get_Count(&count));
  Check("GetFtpDirectoryInfo returns a CFtpFiles collection", listed && count > 0);
  if (listed && count > 0) {
    _CFtpFile* first = nullptr;
    Text file_name;
    Check("CFtpFiles.Item(1).FileName",
          SUCCEEDED(files->get_Item(1, &first)) && first != nullptr &&
              SUCCEEDED(first->get_FileName(&file_name.value)) && !file_name.str().empty(),
          file_name.str());
    if (first != nullptr) first->Release();
  }
  if (files != nullptr) files->Release();

  ok = VARIANT_FALSE;
  Check("Disconnect", SUCCEEDED(control->Disconnect(&ok)) && ok == VARIANT_TRUE);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: early_binding_client <host> <port> <user> <password>\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  CLSID clsid;
  _FtpLibrary* control = nullptr;
  const bool created =
      SUCCEEDED(CLSIDFromProgID(L"TarvikFtp.FtpLibrary", &clsid)) &&
      SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__FtpLibrary,
                                 reinterpret_cast<void**>(&control)));
  Check("CoCreateInstance asks for _FtpLibrary", created && control != nullptr);
  if (created && control != nullptr) {
    RunCases(control, argv[1], std::strtol(argv[2], nullptr, 10), argv[3], argv[4]);
    control->Release();
  }
  CoUninitialize();
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
