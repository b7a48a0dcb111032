// The system headers of Windows, for the Windows implementations of the platform services.
//
// The services declare Win32-named functions and constants of their own in tarvik::platform
// (CreateFile, MessageBox, RegOpenKeyEx, INVALID_HANDLE_VALUE, HKEY_CURRENT_USER, ...), and the
// system headers define many of those names as macros. Include this header after every other
// header of the file: it takes those macros back, so that the names mean the services' own
// declarations. The system's functions are then called by their wide-character names
// (CreateFileW) and its types named from the global namespace (::HANDLE, ::HKEY).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

// clang-format off: winsock2.h must come before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

// Function names.
#undef CreateDirectory
#undef CreateFile
#undef CreateWindow
#undef DeleteFile
#undef FindFirstFile
#undef FindNextFile
#undef FindWindow
#undef GetDriveType
#undef GetFileAttributes
#undef GetFileAttributesEx
#undef GetModuleFileName
#undef GetSystemDirectory
#undef GetTempPath
#undef GetUserName
#undef LoadLibrary
#undef MessageBox
#undef MoveFileEx
#undef PostMessage
#undef RegCreateKey
#undef RegDeleteKey
#undef RegDeleteValue
#undef RegEnumKey
#undef RegEnumValue
#undef RegOpenKey
#undef RegOpenKeyEx
#undef RegQueryInfoKey
#undef RegQueryValue
#undef RegQueryValueEx
#undef RegSetValue
#undef RegSetValueEx
#undef RegisterWindowMessage
#undef SetFileAttributes
#undef ShellExecute
// Constants whose system definitions have pointer types.
#undef HKEY_CLASSES_ROOT
#undef HKEY_CURRENT_USER
#undef HKEY_LOCAL_MACHINE
#undef HKEY_USERS
#undef HKEY_PERFORMANCE_DATA
#undef HKEY_CURRENT_CONFIG
#undef HKEY_DYN_DATA
#undef HWND_TOPMOST
#undef HWND_NOTOPMOST
#undef INVALID_HANDLE_VALUE
