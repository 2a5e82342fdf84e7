// The texts, titles and flags of the application's message boxes, and the two
// ways the handlers use a box: a notice, and a Yes/No question.
#pragma once

#include "runtime/message_box.h"

#include <cstdint>
#include <string_view>

namespace qr::app {

namespace flags = runtime::message_box_flags;

namespace text {
// Start window.
inline constexpr std::string_view kFirstUse = "首次使用请在中间输入正确的学校班级名称，如  Tarnfield初中2017级1班";
inline constexpr std::string_view kEnterClassName = "请输入正确的学校班级名称，如  Tarnfield初中2017级1班";
inline constexpr std::string_view kReminderTitle = "温馨提醒！";
// Main window.
inline constexpr std::string_view kNoStudents = "您的班级尚未录入学生信息！";
inline constexpr std::string_view kNoStudentsTitle = "温馨提示！";
inline constexpr std::string_view kNothingToView = "您的班级信息为空或尚未选中要查询的学生！";
inline constexpr std::string_view kNothingToDelete = "您的班级信息为空或尚未选中要删除信息的学生！";
inline constexpr std::string_view kNothingToModify = "您的班级信息为空或尚未选中要修改信息的学生！";
inline constexpr std::string_view kAskDelete = "是否删除选中的学生信息？";
inline constexpr std::string_view kAskTitle = "询问";
inline constexpr std::string_view kAskClear = "您确定要清空数据库？";
inline constexpr std::string_view kAskClearTitle = "警告";
inline constexpr std::string_view kAskClearAgain = "数据库一旦清空便不可恢复！";
inline constexpr std::string_view kAskClearAgainTitle = "再次警告！";
inline constexpr std::string_view kCleared = "已清空！";
// Add and modify forms.
inline constexpr std::string_view kSampleNotice =
    "您看到的内容为示例内容，可直接修改，亦可直接点右侧*清空示例*清空后再填写信息";
inline constexpr std::string_view kSampleNoticeTitle = "温馨提示";
inline constexpr std::string_view kIncomplete = "请检查信息是否填写完整！";
inline constexpr std::string_view kNumberHint = "如果没有Lexgrove学号请按使用需求自行编写学号填入，如201707001！";
inline constexpr std::string_view kDuplicateIdCard = "该身份证号已存在，请核对后添加！";
inline constexpr std::string_view kAdded = "添加成功！";
inline constexpr std::string_view kModified = "修改成功！";
// The question about a large photo file: its size in MB goes between the two parts.
inline constexpr std::string_view kLargePhotoBefore = "照片文件较大（";
inline constexpr std::string_view kLargePhotoAfter = " MB），是否缩小后保存？";
// Deleted-students window.
inline constexpr std::string_view kNothingToRestore = "您尚未选择要还原信息的学生！";
inline constexpr std::string_view kAskRestore = "是否还原选中的学生信息？";
// Spreadsheet export and import.
inline constexpr std::string_view kNothingToExport = "亲，您的系统目前没有可供导出的信息！";
inline constexpr std::string_view kExportFailed = "导出失败，请检查文件是否被占用或路径是否可写！";
inline constexpr std::string_view kExported = "导出完成！";
inline constexpr std::string_view kNoPhotoImport = "目前照片不能批量导入，需手动添加！";
inline constexpr std::string_view kNoPhotoImportTitle = "小小BUG";
inline constexpr std::string_view kImportReplaces = "执行本操作后，原有数据会被清空！";
inline constexpr std::string_view kImportReplacesTitle = "警告！";
inline constexpr std::string_view kSheetUnreadable = "无法读取所选的表格文件！";
inline constexpr std::string_view kSheetRead = "excel中数据读取成功！";
inline constexpr std::string_view kImportCheckTitle = "导入检查";
inline constexpr std::string_view kAskWriteImport = "是否将此数据写入数据库？";
inline constexpr std::string_view kImportWritten = "添加完成！";
// Failures the stores report.
inline constexpr std::string_view kNotSaved = "无法打开或写入学生数据库，数据未保存！";
inline constexpr std::string_view kMoveFailed = "无法移动该学生信息，数据未做任何修改！";
inline constexpr std::string_view kCannotRead = "无法读取该学生的信息！";
// Backups and stores that cannot be opened.
inline constexpr std::string_view kStoreTroubleTitle = "警告";
inline constexpr std::string_view kBackupFailed = "无法备份学生数据库，为保护数据，本次操作未执行！";
inline constexpr std::string_view kRosterUnopenable = "无法打开学生数据库文件：";
inline constexpr std::string_view kRecycleUnopenable = "无法打开已删学生数据库文件：";
inline constexpr std::string_view kRosterUnopenableHint = "\n该文件可能已丢失或损坏，请勿继续录入学生信息！";
inline constexpr std::string_view kRecycleUnopenableHint = "\n该文件可能已丢失或损坏！";
inline constexpr std::string_view kNewestBackup = "\n最近的备份：";
inline constexpr std::string_view kRestoreCommand = "\n恢复方法：在程序目录中执行 quillroll-store restore ";
} // namespace text

// Shows a notice; an empty title gives the runtime's default title "信息：".
void notify(std::string_view message, std::uint32_t boxFlags = flags::kOk, std::string_view title = {});

// Asks a Yes/No question; true only when Yes was pressed.
bool askYes(std::string_view question, std::string_view title);

// The two questions before a store is emptied; true only when both were answered Yes.
bool confirmClear();

} // namespace qr::app
