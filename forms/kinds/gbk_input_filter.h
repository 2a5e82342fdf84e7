// What an edit box accepts as the user types, pastes or commits input-method text:
// at most `maxBytes` bytes counted in GBK (a Chinese character is two bytes), and
// letters in the box's case. Text that does not fit is cut at a character
// boundary; what was already in the box is never touched.
#pragma once

#include <QString>
#include <QValidator>

namespace qr::forms::kinds {

enum class CaseConversion { None = 0, Lower = 1, Upper = 2 };

QString convertCase(const QString& text, CaseConversion mode);

// GBK byte count of a text, and the longest prefix of `text` that fits in `bytes`.
int gbkBytes(const QString& text);
QString fitToGbkBytes(const QString& text, int bytes);

// Character index (UTF-16 units) of a GBK byte offset into `text`, and back.
int charIndexOfByteOffset(const QString& text, int byteOffset);
int byteOffsetOfCharIndex(const QString& text, int charIndex);

// The text after an edit: the part the user inserted between `before` and `after`
// is cut to fit and case-converted. `cursor` ends after the kept insertion.
QString filterEdit(const QString& before, const QString& after, int maxBytes, CaseConversion mode, int* cursor);

class GbkInputValidator : public QValidator {
public:
    explicit GbkInputValidator(QObject* parent = nullptr)
        : QValidator(parent)
    {}

    void setMaxBytes(int maxBytes) { maxBytes_ = maxBytes; }
    int maxBytes() const { return maxBytes_; }
    void setCaseConversion(CaseConversion mode) { case_ = mode; }
    CaseConversion caseConversion() const { return case_; }
    // The text the box holds now; edits are measured against it.
    void setAccepted(const QString& text) { accepted_ = text; }
    // Text set by the program (property writes) is taken whole, as the platform's
    // length limit applies only to input.
    void setBypass(bool on) { bypass_ = on; }

    State validate(QString& input, int& pos) const override;

private:
    int maxBytes_ = 0; // 0 = no limit
    CaseConversion case_ = CaseConversion::None;
    QString accepted_;
    bool bypass_ = false;
};

} // namespace qr::forms::kinds
