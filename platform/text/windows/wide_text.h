// UTF-8 (the library's text) to and from UTF-16 (the text of the wide-character Win32 calls).
#pragma once

#include <string>
#include <string_view>

namespace tarvik::platform {

// Malformed UTF-8 becomes U+FFFD, as MultiByteToWideChar does without its strict flag.
std::wstring WideFromUtf8(std::string_view text);

// Unpaired surrogates become U+FFFD.
std::string Utf8FromWide(std::wstring_view text);

// A zero-terminated wide text as UTF-8; "" for a null pointer.
std::string Utf8FromWide(const wchar_t* text);

}  // namespace tarvik::platform
