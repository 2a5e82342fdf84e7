#include "forms/kinds/gbk_input_filter.h"

#include "forms/registry/qt_text.h"

namespace qr::forms::kinds {
namespace {

// Length in UTF-16 units of the character starting at `i` (surrogate pairs are one).
int charUnits(const QString& text, int i)
{
    return (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
}

int charBytes(const QString& text, int i, int units)
{
    const QChar c = text.at(i);
    if (units == 1 && c.unicode() < 0x80)
        return 1;
    return int(gbkLength(text.mid(i, units)));
}

} // namespace

QString convertCase(const QString& text, CaseConversion mode)
{
    switch (mode) {
    case CaseConversion::Lower: return text.toLower();
    case CaseConversion::Upper: return text.toUpper();
    case CaseConversion::None: break;
    }
    return text;
}

int gbkBytes(const QString& text) { return int(gbkLength(text)); }

QString fitToGbkBytes(const QString& text, int bytes)
{
    int used = 0, i = 0;
    while (i < text.size()) {
        int units = charUnits(text, i);
        int b = charBytes(text, i, units);
        if (used + b > bytes)
            break;
        used += b;
        i += units;
    }
    return text.left(i);
}

int charIndexOfByteOffset(const QString& text, int byteOffset)
{
    int used = 0, i = 0;
    while (i < text.size() && used < byteOffset) {
        int units = charUnits(text, i);
        used += charBytes(text, i, units);
        i += units;
    }
    return i;
}

int byteOffsetOfCharIndex(const QString& text, int charIndex)
{
    return gbkBytes(text.left(std::clamp(charIndex, 0, int(text.size()))));
}

QString filterEdit(const QString& before, const QString& after, int maxBytes, CaseConversion mode, int* cursor)
{
    // The edit replaced before[prefix, before.size() - suffix) by
    // after[prefix, after.size() - suffix).
    int prefix = 0;
    const int common = std::min(before.size(), after.size());
    while (prefix < common && before.at(prefix) == after.at(prefix))
        ++prefix;
    int suffix = 0;
    while (suffix < common - prefix && before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix))
        ++suffix;
    // Never split a surrogate pair between the kept and inserted parts.
    if (prefix > 0 && after.size() > prefix && after.at(prefix).isLowSurrogate())
        --prefix;

    QString kept = after.left(prefix);
    QString tail = after.right(suffix);
    QString inserted = convertCase(after.mid(prefix, after.size() - prefix - suffix), mode);
    if (maxBytes > 0) {
        int room = maxBytes - gbkBytes(kept) - gbkBytes(tail);
        inserted = room > 0 ? fitToGbkBytes(inserted, room) : QString();
    }
    if (cursor)
        *cursor = int(kept.size() + inserted.size());
    return kept + inserted + tail;
}

QValidator::State GbkInputValidator::validate(QString& input, int& pos) const
{
    if (bypass_)
        return Acceptable;
    if (case_ == CaseConversion::None && (maxBytes_ <= 0 || gbkBytes(input) <= maxBytes_))
        return Acceptable;
    int cursor = pos;
    QString filtered = filterEdit(accepted_, input, maxBytes_, case_, &cursor);
    if (filtered != input) {
        input = filtered;
        pos = cursor;
    }
    return Acceptable;
}

} // namespace qr::forms::kinds
