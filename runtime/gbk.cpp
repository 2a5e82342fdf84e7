#include "runtime/gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

namespace qr::runtime {
namespace {

// Opening a descriptor costs far more than converting a short text, and list rows
// convert thousands of texts; each thread keeps one descriptor per direction.
class Descriptor {
public:
    Descriptor(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
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

// Converts with iconv; a byte sequence that cannot be converted becomes U+FFFD
// (or '?' towards GBK) and the conversion goes on, so no input is dropped silently.
std::string convert(const char* to, const char* from, std::string_view in, std::string_view replacement)
{
    iconv_t cd = descriptorFor(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
    std::string out;
    out.resize(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            const size_t used = out.size() - dstLeft;
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = out.size() - used;
            continue;
        }
        // EILSEQ or EINVAL: skip one input unit and mark it.
        const size_t unit = (std::string_view(from) == "UTF-16LE") ? 2 : 1;
        const size_t skip = srcLeft < unit ? srcLeft : unit;
        src += skip;
        srcLeft -= skip;
        if (dstLeft < replacement.size() + 16) {
            const size_t used = out.size() - dstLeft;
            out.resize(out.size() * 2 + replacement.size());
            dst = out.data() + used;
            dstLeft = out.size() - used;
        }
        for (char c : replacement) { *dst++ = c; --dstLeft; }
    }
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.resize(out.size() - dstLeft);
    return out;
}

} // namespace

// ASCII is the same in GB18030 and UTF-8.
std::string gbkToUtf8(std::string_view gbk)
{
    return isAscii(gbk) ? std::string(gbk) : convert("UTF-8", "GB18030", gbk, "\xEF\xBF\xBD");
}

std::string utf8ToGbk(std::string_view utf8)
{
    return isAscii(utf8) ? std::string(utf8) : convert("GB18030", "UTF-8", utf8, "?");
}

std::u16string gbkToUtf16(std::string_view gbk)
{
    const std::string bytes = convert("UTF-16LE", "GB18030", gbk, std::string("\xFD\xFF", 2));
    std::u16string out(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return out;
}

std::string utf16ToGbk(std::u16string_view utf16)
{
    std::string bytes(utf16.size() * 2, '\0');
    for (size_t i = 0; i < utf16.size(); ++i) {
        bytes[2 * i] = static_cast<char>(utf16[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(utf16[i] >> 8);
    }
    return convert("GB18030", "UTF-16LE", bytes, "?");
}

} // namespace qr::runtime
