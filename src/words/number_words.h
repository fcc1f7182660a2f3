#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace telvo {

// Spells a decimal numeral of up to twelve digits as one run-together word,
// each part keeping its capital initial ("21" gives "VentUno" under code 1).
//
// Codes: 1 Italian (with the elision of the tens vowel before Uno and Otto),
// 2 English, 3 French, 4 German, 5 Italian without elision.
//
// Text that is empty, longer than twelve characters or not made only of the
// ASCII digits 0-9 yields the code's "cannot be calculated" message; a number
// whose value is zero yields the code's word for zero. A code outside 1-5
// throws std::invalid_argument.
std::u16string NumberToWords(std::u16string_view value, std::uint8_t code);

} // namespace telvo
