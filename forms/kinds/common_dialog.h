// The common dialog kind: an invisible component whose open command asks for a
// file to open or save.
#pragma once

#include "forms/kinds/file_dialog.h"
#include "forms/template/template_types.h"

#include <cstdint>

namespace qr::forms {

// The chooser request for a common dialog's settings (type 0 open, 1 save).
FileDialogRequest fileDialogRequest(const CommonDialogSettings& settings);

// The dialog's open command: true when the user confirmed a file, whose full path
// is then the file name property (10); false when cancelled, leaving the file name
// as it was, and for dialog types other than open and save. A window that is not
// loaded or a component that does not exist is the runtime error
// "指定窗口或窗口组件不存在或尚未载入".
bool openCommonDialog(std::uint32_t windowId, std::uint32_t componentId);

} // namespace qr::forms
