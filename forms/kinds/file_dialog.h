// The open/save file chooser as a request and an answer. The common dialog kind
// builds the request from its properties; a presenter answers it: by default the
// real QFileDialog, in tests a function that answers as a user would.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qr::forms {

// Option bits as the platform numbers them (OFN_*).
namespace file_dialog_flags {
inline constexpr std::uint32_t kHideReadOnly = 0x00000004;
inline constexpr std::uint32_t kNoChangeDir = 0x00000008;
inline constexpr std::uint32_t kOverwritePrompt = 0x00000002;
inline constexpr std::uint32_t kPathMustExist = 0x00000800;
inline constexpr std::uint32_t kFileMustExist = 0x00001000;
inline constexpr std::uint32_t kCreatePrompt = 0x00002000;
} // namespace file_dialog_flags

struct FileFilter {
    std::string descriptionGbk;
    std::vector<std::string> patternsGbk; // "*.xls", "*.jpg" ...
};

struct FileDialogRequest {
    bool save = false;               // false: open a file
    std::string titleGbk;            // empty: the chooser's own title
    std::string fileNameGbk;         // initial file name, may be empty
    std::string filterGbk;           // "desc|pat;pat|desc|pat||", or empty for no filter
    int filterIndex = 0;             // 1-based selected filter; 0 when there is no filter
    std::string initialFolderGbk;    // empty: the chooser's own choice
    std::string defaultExtensionGbk; // as stored, e.g. "*.xls"; empty: none
    std::uint32_t flags = file_dialog_flags::kHideReadOnly;

    bool has(std::uint32_t flag) const { return (flags & flag) != 0; }
    // The description/pattern pairs of the filter text.
    std::vector<FileFilter> filters() const;
    // The default extension without "*." or ".", e.g. "xls"; empty for none or "*".
    std::string defaultSuffixGbk() const;
};

struct FileDialogAnswer {
    bool confirmed = false;
    std::string pathGbk; // the chosen file's full path when confirmed
};

using FileDialogPresenter = std::function<FileDialogAnswer(const FileDialogRequest&)>;

// Installs the presenter; an empty function restores the real chooser.
void setFileDialogPresenter(FileDialogPresenter presenter);

// Asks the installed presenter (or the real chooser). A confirmed answer without
// OFN_NOCHANGEDIR makes the chosen file's folder the current folder, as the
// platform's chooser does.
FileDialogAnswer askForFile(const FileDialogRequest& request);

// The real chooser: a QFileDialog, application-modal, honouring title, filters,
// selected filter, initial folder and file, default extension and the flags.
FileDialogAnswer showFileDialog(const FileDialogRequest& request);

} // namespace qr::forms
