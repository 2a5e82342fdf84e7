#include "forms/registry/qt_text.h"

#include "runtime/gbk.h"

namespace qr::forms {

QString toQString(std::string_view gbk)
{
    const std::u16string utf16 = runtime::gbkToUtf16(gbk);
    return QString::fromUtf16(utf16.data(), qsizetype(utf16.size()));
}

std::string fromQString(const QString& text)
{
    return runtime::utf16ToGbk(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())));
}

std::size_t gbkLength(const QString& text) { return fromQString(text).size(); }

} // namespace qr::forms
