#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace telvo::words {

inline constexpr std::size_t kTableSize = 44;
using WordTable = std::array<std::u16string_view, kTableSize>;

// Roles of the entries; the same index has the same role in every language.
inline constexpr std::size_t kZero = 0;
inline constexpr std::size_t kFirstUnit = 0;     // + units digit 1..9
inline constexpr std::size_t kFirstTeen = 10;    // + units digit, tens digit 1
inline constexpr std::size_t kTensBase = 18;     // + tens digit 2..9
inline constexpr std::size_t kHundredsBase = 27; // + hundreds digit 1..9
inline constexpr std::size_t kMessage = 43;

// The table of a language code, or nullptr for a code outside 1-5.
const WordTable *TableForCode(std::uint8_t code) noexcept;

inline constexpr std::u16string_view kGermanJoiner = u"Und";
inline constexpr std::u16string_view kGermanFinalS = u"s";

} // namespace telvo::words
