#include "forms/kinds/image/gif_lzw.h"

#include <array>

namespace qr::forms::image_detail {
namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kTableSize = 1 << kMaxCodeBits;

// Reads codes least significant bit first, as GIF packs them.
class CodeReader {
public:
    CodeReader(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size)
    {}
    bool read(int bits, int& code)
    {
        while (held_ < bits) {
            if (pos_ >= size_)
                return false;
            buffer_ |= std::uint32_t(data_[pos_++]) << held_;
            held_ += 8;
        }
        code = int(buffer_ & ((1u << bits) - 1));
        buffer_ >>= bits;
        held_ -= bits;
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::uint32_t buffer_ = 0;
    int held_ = 0;
};

} // namespace

LzwResult decodeGifLzw(const std::uint8_t* data, std::size_t size, int minimumCodeSize, std::size_t wanted,
                       std::vector<std::uint8_t>& out)
{
    if (minimumCodeSize < 1 || minimumCodeSize > 11)
        return LzwResult::BadCode;
    const int clearCode = 1 << minimumCodeSize;
    const int endCode = clearCode + 1;

    // Each table entry is its prefix entry plus one suffix index; `first` caches the
    // first index of the string so that the KwKwK case needs no walk.
    std::array<std::uint16_t, kTableSize> prefix{};
    std::array<std::uint8_t, kTableSize> suffix{};
    std::array<std::uint8_t, kTableSize> first{};
    std::array<std::uint8_t, kTableSize> stack{};
    for (int i = 0; i < clearCode; ++i) {
        suffix[i] = std::uint8_t(i);
        first[i] = std::uint8_t(i);
    }

    CodeReader reader(data, size);
    int codeBits = minimumCodeSize + 1;
    int next = clearCode + 2;
    int previous = -1;
    out.clear();
    out.reserve(wanted);

    while (out.size() < wanted) {
        int code = 0;
        if (!reader.read(codeBits, code))
            return LzwResult::DataEnded;
        if (code == clearCode) {
            codeBits = minimumCodeSize + 1;
            next = clearCode + 2;
            previous = -1;
            continue;
        }
        if (code == endCode)
            return LzwResult::Complete;
        if (previous < 0) {
            if (code >= clearCode)
                return LzwResult::BadCode;
            out.push_back(std::uint8_t(code));
            previous = code;
            continue;
        }
        if (code > next || (code == next && next >= kTableSize))
            return LzwResult::BadCode;

        // Unwind the string of `code` (or of previous + its own first index).
        int depth = 0;
        int walk = code;
        if (code == next) {
            stack[depth++] = first[previous];
            walk = previous;
        }
        while (walk >= clearCode) {
            stack[depth++] = suffix[walk];
            walk = prefix[walk];
        }
        stack[depth++] = std::uint8_t(walk);
        const std::uint8_t head = std::uint8_t(walk);
        while (depth > 0 && out.size() < wanted)
            out.push_back(stack[--depth]);

        if (next < kTableSize) {
            prefix[next] = std::uint16_t(previous);
            suffix[next] = head;
            first[next] = first[previous];
            ++next;
            if (next == (1 << codeBits) && codeBits < kMaxCodeBits)
                ++codeBits;
        }
        previous = code;
    }
    return LzwResult::Complete;
}

} // namespace qr::forms::image_detail
