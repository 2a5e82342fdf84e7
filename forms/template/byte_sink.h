// Little-endian writing for the template writer, the mirror of byte_cursor.h.
#pragma once

#include "runtime/coding.h"

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qr::forms::detail {

class ByteSink {
public:
    std::vector<std::uint8_t>& bytes() { return out_; }
    std::size_t size() const { return out_.size(); }

    void u8(std::uint8_t v) { out_.push_back(v); }
    void i16(std::int16_t v) { u16(std::uint16_t(v)); }
    void u16(std::uint16_t v) { runtime::appendU16(out_, v); }
    void u32(std::uint32_t v) { runtime::appendU32(out_, v); }
    void i32(std::int32_t v) { u32(std::uint32_t(v)); }
    void zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
    void raw(const std::vector<std::uint8_t>& b) { out_.insert(out_.end(), b.begin(), b.end()); }
    void raw(std::string_view s) { out_.insert(out_.end(), s.begin(), s.end()); }

    void length(std::size_t n)
    {
        if (n > std::size_t(std::numeric_limits<std::int32_t>::max()))
            throw std::length_error("block too long for the store");
        i32(std::int32_t(n));
    }
    void countedText(std::string_view s)
    {
        length(s.size());
        raw(s);
    }
    void countedBlock(const std::vector<std::uint8_t>& b)
    {
        length(b.size());
        raw(b);
    }
    void zeroText(std::string_view s)
    {
        if (s.find('\0') != std::string_view::npos)
            throw std::invalid_argument("zero-terminated text holds a zero byte");
        raw(s);
        u8(0);
    }
    void textList(const std::vector<std::string>& items)
    {
        if (items.size() < 0xFFFF) {
            u16(std::uint16_t(items.size()));
        } else {
            u16(0xFFFF);
            u32(std::uint32_t(items.size()));
        }
        for (const auto& s : items)
            countedText(s);
    }

private:
    std::vector<std::uint8_t> out_;
};

} // namespace qr::forms::detail
