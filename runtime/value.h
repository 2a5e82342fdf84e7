// The value kinds that store commands and runtime services pass around.
// Text is GBK bytes; an empty text and an absent text are the same value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qr::runtime {

using Text = std::string;                  // GBK bytes, no terminator stored
using ByteSet = std::vector<std::uint8_t>; // counted bytes (photos, file contents)

// Days since 30 December 1899, time of day as the fraction.
struct DateTime {
    double days = 0.0;
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// A subprogram pointer as stored by the record store: 32 bits kept unchanged.
struct SubprogramPointer {
    std::uint32_t raw = 0;
    friend bool operator==(const SubprogramPointer&, const SubprogramPointer&) = default;
};

enum class Kind : std::uint8_t {
    None, // an omitted argument
    Byte,
    Short,
    Integer,
    Long,
    Float,
    Double,
    Logical,
    DateTime,
    SubprogramPointer,
    Text,
    ByteSet,
};

// One value of any kind. Values own their data; copies are independent, so the
// receiver of a result may keep or drop it as it likes.
class Value {
public:
    Value() = default;
    static Value byte(std::uint8_t v) { return Value(Storage(std::in_place_index<1>, v)); }
    static Value shortInt(std::int16_t v) { return Value(Storage(std::in_place_index<2>, v)); }
    static Value integer(std::int32_t v) { return Value(Storage(std::in_place_index<3>, v)); }
    static Value longInt(std::int64_t v) { return Value(Storage(std::in_place_index<4>, v)); }
    static Value floating(float v) { return Value(Storage(std::in_place_index<5>, v)); }
    static Value doubleFloat(double v) { return Value(Storage(std::in_place_index<6>, v)); }
    static Value logical(bool v) { return Value(Storage(std::in_place_index<7>, v)); }
    static Value dateTime(double days) { return Value(Storage(std::in_place_index<8>, DateTime{days})); }
    static Value subprogramPointer(std::uint32_t raw)
    {
        return Value(Storage(std::in_place_index<9>, SubprogramPointer{raw}));
    }
    static Value text(Text v) { return Value(Storage(std::in_place_index<10>, std::move(v))); }
    static Value text(std::string_view v) { return text(Text(v)); }
    static Value text(const char* v) { return text(Text(v ? v : "")); }
    static Value byteSet(ByteSet v) { return Value(Storage(std::in_place_index<11>, std::move(v))); }

    Kind kind() const { return static_cast<Kind>(storage_.index()); }
    bool isNone() const { return kind() == Kind::None; }
    // byte, short, integer, long, float or double
    bool isNumeric() const { return kind() >= Kind::Byte && kind() <= Kind::Double; }
    bool isInteger() const { return kind() >= Kind::Byte && kind() <= Kind::Long; }

    std::uint8_t asByte() const { return std::get<1>(storage_); }
    std::int16_t asShort() const { return std::get<2>(storage_); }
    std::int32_t asInteger() const { return std::get<3>(storage_); }
    std::int64_t asLong() const { return std::get<4>(storage_); }
    float asFloat() const { return std::get<5>(storage_); }
    double asDouble() const { return std::get<6>(storage_); }
    bool asLogical() const { return std::get<7>(storage_); }
    DateTime asDateTime() const { return std::get<8>(storage_); }
    SubprogramPointer asSubprogramPointer() const { return std::get<9>(storage_); }
    const Text& asText() const { return std::get<10>(storage_); }
    const ByteSet& asByteSet() const { return std::get<11>(storage_); }

    // A numeric value widened: integers exactly as int64, floating values as double.
    std::int64_t numericAsInt64() const; // floating values truncate toward zero (saturating)
    double numericAsDouble() const;

    friend bool operator==(const Value&, const Value&) = default;

private:
    using Storage = std::variant<std::monostate, std::uint8_t, std::int16_t, std::int32_t, std::int64_t, float, double,
                                 bool, DateTime, SubprogramPointer, Text, ByteSet>;
    explicit Value(Storage s)
        : storage_(std::move(s))
    {}
    Storage storage_;
};

} // namespace qr::runtime
