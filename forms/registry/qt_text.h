// The one place where GBK texts of the system become Qt strings and back.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace qr::forms {

QString toQString(std::string_view gbk);
std::string fromQString(const QString& text); // GBK

// How a text counts in GBK bytes (a Chinese character is two), as length limits count.
std::size_t gbkLength(const QString& text);

} // namespace qr::forms
