// The runtime's message box and error report shown as Qt boxes.
#pragma once

#include "runtime/message_box.h"

class QMessageBox;

namespace qr::forms {

// Chinese button captions, as the platform's boxes show them.
inline constexpr char kCaptionOk[] = "确定";
inline constexpr char kCaptionCancel[] = "取消";
inline constexpr char kCaptionAbort[] = "中止";
inline constexpr char kCaptionRetry[] = "重试";
inline constexpr char kCaptionIgnore[] = "忽略";
inline constexpr char kCaptionYes[] = "是";
inline constexpr char kCaptionNo[] = "否";
inline constexpr char kCaptionTryAgain[] = "重试";
inline constexpr char kCaptionContinue[] = "继续";

// Shows the request in an application-modal QMessageBox without owner (or owned by
// the window the request names) and returns the button pressed.
runtime::PressedButton showQtMessageBox(const runtime::MessageBoxRequest& request);

// The error report's box: title "错误", error icon, one button.
void showQtErrorBox(const runtime::Text& textGbk);

} // namespace qr::forms
