#include "store/names.h"

#include "runtime/gbk.h"

#include <cstddef>
#include <cstdint>

namespace qr::store {
namespace {

bool isTrailByte(std::uint8_t b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

enum class CharClass { Invalid, Letter, Digit };

CharClass classify(std::uint8_t b) // one-byte character
{
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_')
        return CharClass::Letter;
    if (b >= '0' && b <= '9')
        return CharClass::Digit;
    return CharClass::Invalid;
}

CharClass classify(std::uint8_t lead, std::uint8_t trail) // two-byte character
{
    const unsigned code = (unsigned(lead) << 8) | trail;
    if ((code >= 0xA3C1 && code <= 0xA3DA) || (code >= 0xA3E1 && code <= 0xA3FA))
        return CharClass::Letter; // full-width letters
    if (code >= 0xA3B0 && code <= 0xA3B9)
        return CharClass::Digit; // full-width digits
    if ((lead >= 0x81 && lead <= 0xA0) || lead >= 0xAA)
        return CharClass::Letter; // Chinese character areas
    if ((code >= 0xA4A1 && code <= 0xA4F3) || (code >= 0xA5A1 && code <= 0xA5F6) || code == 0xA960)
        return CharClass::Letter; // hiragana, katakana, A960
    return CharClass::Invalid;
}

// Checks the character rule and counts the characters; false when a character
// breaks the rule.
bool scan(std::string_view name, std::size_t& characters)
{
    characters = 0;
    for (std::size_t i = 0; i < name.size();) {
        const auto b = static_cast<std::uint8_t>(name[i]);
        CharClass cls;
        if (runtime::isGbkLeadByte(b)) {
            if (i + 1 >= name.size() || !isTrailByte(static_cast<std::uint8_t>(name[i + 1])))
                return false;
            cls = classify(b, static_cast<std::uint8_t>(name[i + 1]));
            i += 2;
        } else {
            cls = classify(b);
            i += 1;
        }
        if (cls == CharClass::Invalid || (characters == 0 && cls == CharClass::Digit))
            return false;
        ++characters;
    }
    return characters > 0;
}

} // namespace

bool followsNameCharacterRule(std::string_view nameGbk)
{
    std::size_t characters = 0;
    return scan(nameGbk, characters);
}

bool isValidFieldName(std::string_view nameGbk)
{
    std::size_t characters = 0;
    // A field definition keeps at most 16 name bytes before its terminator.
    return scan(nameGbk, characters) && characters < 16 && nameGbk.size() <= 16;
}

bool namesEqual(std::string_view a, std::string_view b) { return runtime::equalsIgnoringCase(a, b); }

} // namespace qr::store
