#include "setup/setup_texts.h"

#include <array>

namespace tarvik::setup {
namespace {

struct Row {
  SetupText row;
  std::string_view english;
  std::string_view chinese;
};

// clang-format off
constexpr std::array<Row, 7> kTexts = {{
    {SetupText::kFolderFailed, "Failed to create folder [$text$]",
     "创建目录[$text$]失败,请确定是否有创建目录的权限！"},
    {SetupText::kCompleted, "Install Completed", "安装成功"},
    {SetupText::kRegisterFailed, "Failed to register the ftp ocx ", "注册控件失败"},
    {SetupText::kControlMissing, "ActiveX not found", "未找到安装控件"},
    {SetupText::kRegistryFailed, "Access regedit error", "访问注册表失败"},
    {SetupText::kTitle, "Install ftp ocx", "安装FTP控件"},
    {SetupText::kCloseBrowsers, "Failed to install the ftp ocx,please close all browser windows",
     "安装失败,请关闭IE浏览器!"},
}};
// clang-format on

}  // namespace

Language LanguageOfProgram(std::string_view file_name) {
  for (std::size_t i = 0; i + 1 < file_name.size(); ++i) {
    if ((file_name[i] | 0x20) == 'c' && (file_name[i + 1] | 0x20) == 'n') return Language::kChinese;
  }
  return Language::kEnglish;
}

std::string Text(Language language, SetupText row) {
  for (const Row& text : kTexts) {
    if (text.row == row) {
      return std::string(language == Language::kChinese ? text.chinese : text.english);
    }
  }
  return {};
}

}  // namespace tarvik::setup
