#include "forms/kinds/file_dialog.h"

#include "forms/registry/qt_text.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace qr::forms {
namespace {

FileDialogPresenter& presenter()
{
    static FileDialogPresenter instance;
    return instance;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string current;
    for (char c : text) {
        if (c == separator) {
            parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    parts.push_back(current);
    return parts;
}

QString qtFilter(const FileFilter& f)
{
    QStringList patterns;
    for (const std::string& p : f.patternsGbk)
        if (!p.empty())
            patterns << toQString(p);
    // Qt reads the patterns from the last parentheses of the entry.
    QString description = toQString(f.descriptionGbk);
    description.replace(QLatin1Char('('), QLatin1Char('[')).replace(QLatin1Char(')'), QLatin1Char(']'));
    return QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
}

} // namespace

std::vector<FileFilter> FileDialogRequest::filters() const
{
    std::string text = filterGbk;
    while (text.size() >= 2 && text.compare(text.size() - 2, 2, "||") == 0)
        text.resize(text.size() - 2);
    std::vector<FileFilter> out;
    if (text.empty())
        return out;
    const std::vector<std::string> parts = split(text, '|');
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        FileFilter f;
        f.descriptionGbk = parts[i];
        if (i + 1 < parts.size())
            for (const std::string& p : split(parts[i + 1], ';'))
                if (!p.empty())
                    f.patternsGbk.push_back(p);
        out.push_back(std::move(f));
    }
    return out;
}

std::string FileDialogRequest::defaultSuffixGbk() const
{
    std::string s = defaultExtensionGbk;
    if (s.rfind("*.", 0) == 0)
        s.erase(0, 2);
    else if (s.rfind(".", 0) == 0)
        s.erase(0, 1);
    if (s == "*")
        s.clear();
    return s;
}

void setFileDialogPresenter(FileDialogPresenter p) { presenter() = std::move(p); }

FileDialogAnswer askForFile(const FileDialogRequest& request)
{
    FileDialogAnswer answer = presenter() ? presenter()(request) : showFileDialog(request);
    if (answer.confirmed && !request.has(file_dialog_flags::kNoChangeDir)) {
        const QFileInfo chosen(toQString(answer.pathGbk));
        if (chosen.absoluteDir().exists())
            QDir::setCurrent(chosen.absolutePath());
    }
    return answer;
}

FileDialogAnswer showFileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!request.save && request.has(file_dialog_flags::kFileMustExist) ? QFileDialog::ExistingFile
                                                                                       : QFileDialog::AnyFile);
    if (!request.has(file_dialog_flags::kOverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.titleGbk.empty())
        dialog.setWindowTitle(toQString(request.titleGbk));
    if (!request.initialFolderGbk.empty())
        dialog.setDirectory(toQString(request.initialFolderGbk));
    const std::string suffix = request.defaultSuffixGbk();
    if (!suffix.empty())
        dialog.setDefaultSuffix(toQString(suffix));
    QStringList filters;
    for (const FileFilter& f : request.filters())
        filters << qtFilter(f);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = std::clamp(request.filterIndex, 1, int(filters.size())) - 1;
        dialog.selectNameFilter(filters.at(index));
    }
    if (!request.fileNameGbk.empty())
        dialog.selectFile(toQString(request.fileNameGbk));

    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        const QFileInfo chosen(dialog.selectedFiles().constFirst());
        if (request.has(file_dialog_flags::kPathMustExist) && !chosen.absoluteDir().exists()) {
            QMessageBox::warning(&dialog, dialog.windowTitle(), toQString("路径不存在。"));
            continue;
        }
        if (!request.save && !chosen.exists() && request.has(file_dialog_flags::kCreatePrompt)) {
            const auto asked = QMessageBox::question(&dialog, dialog.windowTitle(),
                                                     chosen.fileName() + toQString(" 不存在。\n要创建该文件吗?"));
            if (asked != QMessageBox::Yes)
                continue;
        }
        return {true, fromQString(chosen.absoluteFilePath())};
    }
}

} // namespace qr::forms
