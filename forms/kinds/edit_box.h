// The edit box: a single-line QLineEdit or, for multi-line boxes, a QPlainTextEdit.
#pragma once

#include "forms/kinds/gbk_input_filter.h"
#include "forms/registry/component_kind.h"

#include <QPointer>

class QLineEdit;
class QPlainTextEdit;

namespace qr::forms::kinds {

class EditBoxObject : public ComponentObject {
public:
    EditBoxObject(const CreateRequest& request, const EditBoxSettings& settings);

    const EditBoxSettings& settings() const { return settings_; }
    // The settings with the box's current content and selection.
    EditBoxSettings currentSettings() const;

    QLineEdit* lineEdit() const { return line_; }
    QPlainTextEdit* textEdit() const { return multi_; }

    // GBK content: the text the box shows now. Multi-line boxes use "\r\n" line ends.
    std::string content() const;
    // Replaces the content as the program does (the length limit does not apply).
    void setContent(const std::string& gbk);

    int setProperty(int index, const runtime::Value& value);
    runtime::Value property(int index) const;
    bool wantsKey(int virtualKey) const;

private:
    void applyLook();
    void applyMaxLength();
    void applyInputMode();
    void applyAlignment();
    void selectBytes(int start, int length);
    QString text() const;
    std::string selectedText() const;
    void replaceSelection(const std::string& gbk);

    EditBoxSettings settings_;
    QPointer<QLineEdit> line_;
    QPointer<QPlainTextEdit> multi_;
    GbkInputValidator* validator_ = nullptr;
    QString multiAccepted_;
    bool applyingMultiFilter_ = false;
};

} // namespace qr::forms::kinds
