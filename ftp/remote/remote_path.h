// Which path reaches the remote file or folder a caller named. Every member that names a remote
// path (listings, file and folder operations, transfers) goes through these two functions, so
// that a path means the same thing to all of them:
//   - a path beginning with "/" (or "\") is absolute: it names the same place whatever the
//     working folder is;
//   - any other path is taken from the tracked working folder ("..", "." and empty elements
//     are resolved the way the server resolves them);
//   - one trailing "/" marks a folder and does not change the place.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// The absolute form of `path` seen from `working_folder` (itself absolute): "/" separated, no
// ".", ".." or empty elements, no trailing "/" except the root "/". ".." above the root stays at
// the root. ResolveRemotePath("/a/b", "../c/") == "/a/c", ResolveRemotePath("/a", "/x") == "/x".
std::string ResolveRemotePath(std::string_view working_folder, std::string_view path);

// The argument to hand to SendFtpCommand so that the command reaches `path` while the server's
// working folder is the tracked one: an absolute path goes out absolute (with the forced-absolute
// mark ":", which no verb strips), a relative one as given, which the server takes from its
// working folder. A relative name that itself begins with ":" is sent as "./:name" so that it is
// not read as the mark. Blanks at both ends are trimmed, "\" becomes "/"; a trailing "/" is kept
// (listings use it); callers that name a file or a folder to create or remove drop it.
std::string RemoteCommandArgument(std::string_view path);

// `path` without one trailing "/" (the root "/" stays).
std::string WithoutTrailingSlash(std::string path);

}  // namespace tarvik
