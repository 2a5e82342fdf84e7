#include "xlsodbc/text_codec.h"

#include <iconv.h>

#include <cerrno>

namespace qr::xls {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() { if (ok()) iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts `in`, appending to `out`; an input unit that cannot be converted
    // becomes `replacement`, so nothing is dropped silently.
    void convert(const char* in, std::size_t inLen, std::size_t unit, std::string_view replacement, std::string& out)
    {
        if (!ok())
            return;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        std::size_t srcLeft = inLen;
        std::size_t used = out.size();
        out.resize(used + inLen * 2 + 16);
        while (true) {
            char* dst = out.data() + used;
            std::size_t dstLeft = out.size() - used;
            const std::size_t rc = srcLeft ? iconv(cd_, &src, &srcLeft, &dst, &dstLeft) : 0;
            const int err = errno;
            used = out.size() - dstLeft;
            if (rc != static_cast<std::size_t>(-1) || srcLeft == 0)
                break;
            if (err == E2BIG) {
                out.resize(out.size() * 2 + 16);
                continue;
            }
            const std::size_t skip = srcLeft < unit ? srcLeft : unit;
            src += skip;
            srcLeft -= skip;
            out.resize(used);
            out.append(replacement);
            used = out.size();
            out.resize(used + srcLeft * 2 + 16);
        }
        out.resize(used);
    }

private:
    iconv_t cd_;
};

Converter& toUtf16()
{
    thread_local Converter c("UTF-16LE", "GB18030");
    return c;
}

Converter& fromUtf16()
{
    thread_local Converter c("GB18030", "UTF-16LE");
    return c;
}

bool isAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

char foldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

} // namespace

std::u16string gbkToUtf16(std::string_view gbk)
{
    std::u16string out;
    if (isAscii(gbk)) {
        out.assign(gbk.begin(), gbk.end());
        return out;
    }
    std::string bytes;
    toUtf16().convert(gbk.data(), gbk.size(), 1, std::string_view("\xFD\xFF", 2), bytes);
    out.resize(bytes.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return out;
}

void appendUtf16AsGbk(std::u16string_view utf16, std::string& out)
{
    bool ascii = true;
    for (char16_t c : utf16)
        if (c >= 0x80) { ascii = false; break; }
    if (ascii) {
        for (char16_t c : utf16)
            out.push_back(static_cast<char>(c));
        return;
    }
    std::string bytes(utf16.size() * 2, '\0');
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        bytes[2 * i] = static_cast<char>(utf16[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(utf16[i] >> 8);
    }
    fromUtf16().convert(bytes.data(), bytes.size(), 2, "?", out);
}

std::string utf16ToGbk(std::u16string_view utf16)
{
    std::string out;
    appendUtf16AsGbk(utf16, out);
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t len = gbkCharLength(a, i);
        if (len == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
        } else if (foldCase(a[i]) != foldCase(b[i])) {
            return false;
        }
        i += len;
    }
    return true;
}

} // namespace qr::xls
