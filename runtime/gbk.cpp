#include "runtime/gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

namespace qr::runtime {
namespace {

// Opening a descriptor costs far more than converting a short text, and list rows
// and workbook imports convert tens of thousands of texts; each thread keeps one
// descriptor per direction.
class Descriptor {
public:
    Descriptor(const char* to, const char* from)
        : cd_(iconv_open(to, from))
    {}
    ~Descriptor()
    {
        if (valid())
            iconv_close(cd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

iconv_t descriptorFor(const char* to, const char* from)
{
    struct Key {
        const char* to;
        const char* from;
        std::unique_ptr<Descriptor> descriptor;
    };
    thread_local std::vector<Key> cache;
    for (const Key& key : cache)
        if (key.to == to && key.from == from)
            return key.descriptor->get();
    cache.push_back({to, from, std::make_unique<Descriptor>(to, from)});
    return cache.back().descriptor->get();
}

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isAscii(std::u16string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
}

// Converts with iconv, appending to `out`; an input unit (`unit` bytes) that cannot
// be converted becomes `replacement` and the conversion goes on.
void convert(const char* to, const char* from, std::string_view in, std::size_t unit, std::string_view replacement,
             std::string& out)
{
    iconv_t cd = descriptorFor(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return;
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // a fresh shift state
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = out.size();
    out.resize(used + in.size() * 2 + 16);
    while (srcLeft > 0) {
        char* dst = out.data() + used;
        std::size_t dstLeft = out.size() - used;
        const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        const int err = errno;
        used = out.size() - dstLeft;
        if (rc != static_cast<std::size_t>(-1))
            break;
        if (err == E2BIG) {
            out.resize(out.size() * 2 + 16);
            continue;
        }
        // EILSEQ or EINVAL: skip one input unit and mark it.
        const std::size_t skip = std::min(srcLeft, unit);
        src += skip;
        srcLeft -= skip;
        out.resize(used);
        out.append(replacement);
        used = out.size();
        out.resize(used + srcLeft * 2 + 16);
    }
    out.resize(used);
}

// ASCII is the same in GB18030, UTF-8 and UTF-16.
std::string convertedUnlessAscii(std::string_view in, const char* to, const char* from, std::string_view replacement)
{
    std::string out;
    if (isAscii(in))
        out.assign(in);
    else
        convert(to, from, in, 1, replacement, out);
    return out;
}

} // namespace

std::string gbkToUtf8(std::string_view gbk) { return convertedUnlessAscii(gbk, "UTF-8", "GB18030", "\xEF\xBF\xBD"); }

std::string utf8ToGbk(std::string_view utf8) { return convertedUnlessAscii(utf8, "GB18030", "UTF-8", "?"); }

std::u16string gbkToUtf16(std::string_view gbk)
{
    std::u16string out;
    if (isAscii(gbk)) {
        out.assign(gbk.begin(), gbk.end());
        return out;
    }
    std::string bytes;
    convert("UTF-16LE", "GB18030", gbk, 1, std::string_view("\xFD\xFF", 2), bytes);
    out.resize(bytes.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return out;
}

void appendUtf16AsGbk(std::u16string_view utf16, std::string& out)
{
    if (isAscii(utf16)) {
        for (char16_t c : utf16)
            out.push_back(static_cast<char>(c));
        return;
    }
    std::string bytes(utf16.size() * 2, '\0');
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        bytes[2 * i] = static_cast<char>(utf16[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(utf16[i] >> 8);
    }
    convert("GB18030", "UTF-16LE", bytes, 2, "?", out);
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
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    for (std::size_t i = 0; i < a.size();) {
        if (gbkCharLength(a, i) == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            i += 2;
        } else {
            if (fold(a[i]) != fold(b[i]))
                return false;
            ++i;
        }
    }
    return true;
}

} // namespace qr::runtime
