// Bounded little-endian reading for the template reader. Every read checks the bytes
// left first; running past the end throws StoreFormatError, which the reader turns
// into its failure result (the exception never leaves the reader).
#pragma once

#include "runtime/coding.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace qr::forms::detail {

struct StoreFormatError : std::runtime_error {
    StoreFormatError(std::size_t at, const std::string& what)
        : std::runtime_error(what)
        , offset(at)
    {}
    std::size_t offset;
};

class ByteCursor {
public:
    // `base` is the absolute offset of data[0] inside the store, for reporting.
    ByteCursor(std::span<const std::uint8_t> data, std::size_t base = 0)
        : data_(data)
        , base_(base)
    {}

    std::size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ == data_.size(); }
    std::size_t offset() const { return base_ + pos_; }

    std::uint8_t u8() { return take(1)[0]; }
    std::int16_t i16() { return runtime::getI16(take(2).data()); }
    std::uint16_t u16() { return std::uint16_t(i16()); }
    std::uint32_t u32() { return runtime::getU32(take(4).data()); }
    std::int32_t i32() { return std::int32_t(u32()); }

    std::span<const std::uint8_t> take(std::size_t n)
    {
        if (n > remaining())
            fail("needs " + std::to_string(n) + " bytes, " + std::to_string(remaining()) + " left");
        const auto out = data_.subspan(pos_, n);
        pos_ += n;
        return out;
    }
    void skip(std::size_t n) { take(n); }

    // A non-negative int32 count that fits in what is left, each unit `unit` bytes long.
    std::size_t count(std::size_t unit, const char* what)
    {
        const std::size_t at = offset();
        const std::int32_t n = i32();
        if (n < 0)
            throw StoreFormatError(at, std::string("negative ") + what);
        if (unit != 0 && std::size_t(n) > remaining() / unit)
            throw StoreFormatError(at, std::string(what) + " runs past the data");
        return std::size_t(n);
    }

    std::string countedText()
    {
        const auto n = count(1, "text length");
        const auto b = take(n);
        return std::string(b.begin(), b.end());
    }
    std::vector<std::uint8_t> countedBlock()
    {
        const auto n = count(1, "block length");
        const auto b = take(n);
        return std::vector<std::uint8_t>(b.begin(), b.end());
    }
    // A counted block read as a nested cursor.
    ByteCursor countedCursor()
    {
        const auto n = count(1, "block length");
        const std::size_t at = offset();
        return ByteCursor(take(n), at);
    }
    std::string zeroText()
    {
        for (std::size_t i = pos_; i < data_.size(); ++i) {
            if (data_[i] == 0) {
                std::string out(data_.begin() + pos_, data_.begin() + i);
                pos_ = i + 1;
                return out;
            }
        }
        fail("text without terminator");
    }
    std::vector<std::string> textList()
    {
        std::size_t n = u16();
        if (n == 0xFFFF)
            n = u32();
        // Each text takes at least its 4-byte count.
        if (n > remaining() / 4)
            fail("text list count runs past the data");
        std::vector<std::string> out;
        out.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            out.push_back(countedText());
        return out;
    }

    [[noreturn]] void fail(const std::string& what) const { throw StoreFormatError(offset(), what); }

private:
    std::span<const std::uint8_t> data_;
    std::size_t base_ = 0;
    std::size_t pos_ = 0;
};

} // namespace qr::forms::detail
