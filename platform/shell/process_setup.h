// How a program sets up its process before it does its work.
#pragma once

namespace tarvik::platform {

// A write that would take a file past the process's file size limit fails, the file system
// reporting the file as too large, instead of ending the process. Called once, at the start of a
// program that writes files.
void FailWritesPastFileSizeLimit();

}  // namespace tarvik::platform
