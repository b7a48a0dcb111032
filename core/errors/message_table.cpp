#include "core/errors/message_table.h"

#include <array>
#include <vector>

#include "core/errors/error_box.h"

namespace tarvik {

namespace {

using Row = std::array<std::string_view, 3>;

// Columns 0, 1 and 2 of every row; column 3 has no texts.
// clang-format off
constexpr std::array<Row, kMessageRowCount> kBuiltInTexts = {{
    {"Hostname Required", "主机地址为空", "主機地址為空"},  // 0
    {"Unable to resolve host", "无法解析主机", "無法解析主機地址"},  // 1
    {"Login failed", "登录失败", "登錄失敗"},  // 2
    {"Connecting", "正在连接", "正在連接"},  // 3
    {"Connect failed(No response from server)", "连接失败(服务器未响应)", "連接失敗(服務器未響應)"},  // 4
    {"Failed to connect to server", "连接失败", "連接失敗"},  // 5
    {"The previous operation is unfinished", "前一个操作未完成", "前一個操作未完成"},  // 6
    {"The operation has been canceled", "操作已被取消", "操作已被取消"},  // 7
    {"Can't find the file[ {0} ]", "未找到文件[ {0} ]", "未找到文件[ {0} ]"},  // 8
    {"Can't find the folder[ {0} ]", "未找到目录[ {0} ]", "未找到目錄[ {0} ]"},  // 9
    {"Please input Remote Path", "未指定远程路径", "未指定遠程路徑"},  // 10
    {"Please input Local Path", "未指定本地路径", "未指定本地路徑"},  // 11
    {"Please enter absolute path [ {0} ]", "请输入绝对路径[ {0} ]", "請輸入絕對路徑[ {0} ]"},  // 12
    {"The folder already contains a file named [ {0} ]", "文件[ {0} ]已存在", "文件[ {0} ]已存在"},  // 13
    {"Please input filename!", "请输入文件名!", "請輸入文件名!"},  // 14
    {"New name", "新文件名", "新文件名"},  // 15
    {"Please specify the save path!", "没有设置文件[ {0} ]的保存路径!", "沒有設置文件[ {0} ]的保存路徑!"},  // 16
    {"Failed to create directory[ {0} ] !", "创建目录[ {0} ]失败!", "創建目錄[ {0} ]失敗!"},  // 17
    {"This filetype is not allowed.Allowable File Types:[ {0} ]", "只能传输以下文件类型:[ {0} ]", "只能傳輸以下文件類型:[ {0} ]"},  // 18
    {"This filetype is forbidden.Forbidden File Types:[ {0} ]", "禁止传输以下文件类型:[ {0} ]", "禁止傳輸以下文件類型:[ {0} ]"},  // 19
    {"Operation timed out", "操作超时", "操作超時"},  // 20
    {"Unknown Error", "未知错误", "未知錯誤"},  // 21
    {"This folder already contains a file named '{0}'.\\nWould you like to replace the existing file\\n {1} Bytes , {2}\\nwith this one?\\n{3} Bytes , {4}\\n", "文件  {0}  已存在.\\n是否要把已存在的文件 \\n {1} 字节 , {2}\\n替换为?\\n{3} 字节 , {4}\\n", "文件  {0}  已存在.\\n是否要把已存在的文件\\n {1} 字節 , {2}\\n替換為?\\n{3} 字節 , {4}\\n"},  // 22
    {"Confirm File Replace", "文件替换设置", "文件替換設置"},  // 23
    {"Overwrite", "覆盖", "覆蓋"},  // 24
    {"Resume", "续传", "續傳"},  // 25
    {"Skip", "跳过", "跳過"},  // 26
    {"Rename", "重命名", "重命名"},  // 27
    {"Overwrite All", "全部覆盖", "全部覆蓋"},  // 28
    {"Resume All", "全部续传", "全部續傳"},  // 29
    {"Skip All", "全部跳过", "全部跳過"},  // 30
    {"OK", "确定", "確定"},  // 31
    {"Cancel", "取消", "取消"},  // 32
    {"", "", "主機未找到"},  // 33
    {"Connection timeout", "连接超时", "連接超時"},  // 34
    {"Connection refused", "连接被拒绝", "連接被拒絕"},  // 35
    {"Permission denied", "权限被拒绝", "權限被拒絕"},  // 36
    {"Can't transfer the file whose size more than {0}", "不能传输大于 {0} 的文件", "不能傳輸大於 {0} 的文件"},  // 37
    {"Exit", "退出", "退出"},  // 38
    {"Failed to create file[ {0} ] !", "创建文件[ {0} ]失败!", "創建文件[ {0} ]失敗!"},  // 39
    {"Failed to open file[ {0} ] !", "打开文件[ {0} ]失败!", "打開文件[ {0} ]失敗!"},  // 40
    {"An error Occurred, retransfer attempt #{0} after {1} seconds", "发生错误,{1}秒后第{0}次重传", "發生錯誤,{1}秒後第{0}次重傳"},  // 41
    {"Retransfer,please wait ... ", "正在重新传送,请等待...", "正在重新傳送,請等待..."},  // 42
    {"Hrs", "小时", "時"},  // 43
    {"Mins", "分", "分"},  // 44
    {"Secs", "秒", "秒"},  // 45
    {"Invalid FTP host address", "无效的FTP服务器地址", "無效的FTP服務器地址"},  // 46
    {"File Not Found", "文件不存在", "文件不存在"},  // 47
    {"No Resuming Support", "不支持续传", "不支持續傳"},  // 48
    {"Fail to get file size", "无法获取文件大小", "無法獲取文件大小"},  // 49
    {"Data Socket Error: Connection failed", "数据 Socket 错误: 连接失败", "數據 Socket 錯誤：連接失敗"},  // 50
}};
// clang-format on

// The table as this thread's controls see it.
struct ThreadTable {
  std::array<std::array<std::string, kMessageColumnCount>, kMessageRowCount> texts;
  int column = 0;  // as set; outside 0..3 reads as 0
  ThreadTable() { Load(); }
  void Load() {
    for (int row = 0; row < kMessageRowCount; ++row) {
      for (int column_index = 0; column_index < kMessageColumnCount; ++column_index) {
        texts[row][column_index] =
            column_index < 3 ? std::string(kBuiltInTexts[row][column_index]) : std::string();
      }
    }
    column = 0;
  }
  int ReadColumn() const { return column >= 0 && column < kMessageColumnCount ? column : 0; }
};

ThreadTable& Table() {
  thread_local ThreadTable table;
  return table;
}

std::vector<std::string_view> SplitOnBar(std::string_view value) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t bar = value.find('|', start);
    parts.push_back(value.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) return parts;
    start = bar + 1;
  }
}

}  // namespace

std::string MessageText(int row) {
  if (row < 0 || row >= kMessageRowCount) return {};
  const ThreadTable& table = Table();
  return table.texts[row][table.ReadColumn()];
}

int SelectedMessageColumn() {
  return Table().ReadColumn();
}

void SelectMessageColumn(int column) {
  Table().column = column;
}

void LoadMessageTexts() {
  Table().Load();
}

std::string GetLangInfo() {
  const ThreadTable& table = Table();
  std::string joined;
  for (int row = 0; row < kMessageRowCount; ++row) {
    if (row > 0) joined += '|';
    joined += table.texts[row][table.ReadColumn()];
  }
  return joined;
}

bool LetLangInfo(std::string_view value) {
  if (value.empty()) return true;
  const std::vector<std::string_view> parts = SplitOnBar(value);
  if (parts.size() != kMessageRowCount) {
    ShowErrorBox("Invalid value for 'Text' Property");
    return false;
  }
  ThreadTable& table = Table();
  for (int row = 0; row < kMessageRowCount; ++row) table.texts[row][0] = std::string(parts[row]);
  table.column = 0;
  return true;
}

}  // namespace tarvik
