// The texts of the setup program, in English or Chinese. The Chinese texts are chosen when the
// program's own file name contains "cn" (in any case), as a setup program shipped for Chinese
// users is named.
#pragma once

#include <string>
#include <string_view>

namespace tarvik::setup {

enum class Language { kEnglish, kChinese };

// The rows of the message table; row 5 is not used.
enum class SetupText {
  kFolderFailed = 0,  // "$text$" stands for the folder
  kCompleted = 1,
  kRegisterFailed = 2,
  kControlMissing = 3,
  kRegistryFailed = 4,
  kTitle = 6,
  kCloseBrowsers = 7,
};

Language LanguageOfProgram(std::string_view file_name);
std::string Text(Language language, SetupText row);

}  // namespace tarvik::setup
