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
inline constexpr std::size_t kFirstTeen = 10;    // + units digit, tens digit 1
inline constexpr std::size_t kTensBase = 18;     // + tens digit 2..9
inline constexpr std::size_t kHundredsBase = 27; // + hundreds digit 1..9
inline constexpr std::size_t kMessage = 43;

inline constexpr WordTable kItalian = {
    u"Zero",        u"Uno",         u"Due",         u"Tre",
    u"Quattro",     u"Cinque",      u"Sei",         u"Sette",
    u"Otto",        u"Nove",        u"Dieci",       u"Undici",
    u"Dodici",      u"Tredici",     u"Quattordici", u"Quindici",
    u"Sedici",      u"Diciassette", u"Diciotto",    u"Diciannove",
    u"Venti",       u"Trenta",      u"Quaranta",    u"Cinquanta",
    u"Sessanta",    u"Settanta",    u"Ottanta",     u"Novanta",
    u"Cento",       u"Duecento",    u"Trecento",    u"Quattrocento",
    u"Cinquecento", u"Seicento",    u"Settecento",  u"Ottocento",
    u"Novecento",   u"Mille",       u"Mila",        u"UnMilione",
    u"Milioni",     u"UnMiliardo",  u"Miliardi",    u"** Valore non calcolabile **",
};

inline constexpr WordTable kEnglish = {
    u"Zero",        u"One",         u"Two",          u"Three",
    u"Four",        u"Five",        u"Six",          u"Seven",
    u"Eight",       u"Nine",        u"Ten",          u"Eleven",
    u"Twelve",      u"Thirteen",    u"Fourteen",     u"Fifteen",
    u"Sixteen",     u"Seventeen",   u"Eighteen",     u"Nineteen",
    u"Twenty",      u"Thirty",      u"Forty",        u"Fifty",
    u"Sixty",       u"Seventy",     u"Eighty",       u"Ninety",
    u"Onehundred",  u"Twohundred",  u"Threehundred", u"Fourhundred",
    u"Fivehundred", u"Sixhundred",  u"Sevenhundred", u"Eighthundred",
    u"Ninehundred", u"Onethousand", u"Thousand",     u"OneMillion",
    u"Millions",    u"OneBillion",  u"Billions",     u"** Value not calculable **",
};

inline constexpr WordTable kFrench = {
    u"Zero",      u"Un",          u"Deux",         u"Trois",
    u"Quatre",    u"Cinq",        u"Six",          u"Sept",
    u"Huit",      u"Neuf",        u"Dix",          u"Onze",
    u"Douze",     u"Treize",      u"Quatorze",     u"Quinze",
    u"Seize",     u"Dixsept",     u"Dixhuit",      u"Dixneuf",
    u"Vingt",     u"Trente",      u"Quarante",     u"Cinquante",
    u"Soixante",  u"Soixantedix", u"Quatrevingts", u"Quatrevingtdix",
    u"Cent",      u"Deuxcents",   u"Troiscents",   u"Quatrecents",
    u"Cinqcents", u"Sixcents",    u"Septcents",    u"Huitcents",
    u"Neufcents", u"Mille",       u"Mille",        u"UnMillion",
    u"Million",   u"UnMilliard",  u"Milliard",     u"** Valeur pas calculable **",
};

inline constexpr WordTable kGerman = {
    u"Null",
    u"Ein",
    u"Zwei",
    u"Drei",
    u"Vier",
    u"F\u00FCnf",
    u"Sechs",
    u"Sieben",
    u"Acht",
    u"Neun",
    u"Zehn",
    u"Elf",
    u"Zw\u00F6lf",
    u"Dreizehn",
    u"Vierzehn",
    u"F\u00FCnfzehn",
    u"Sechzehn",
    u"Siebzehn",
    u"Achtzehn",
    u"Neunzehn",
    u"Zwanzig",
    u"Drei\u00DFig",
    u"Vierzig",
    u"F\u00FCnfzig",
    u"Sechzig",
    u"Siebzig",
    u"Achtzig",
    u"Neunzig",
    u"Hundert",
    u"Zweihundert",
    u"Dreihundert",
    u"Vierhundert",
    u"F\u00FCnfhundert",
    u"Sechshundert",
    u"Siebenhundert",
    u"Achthundert",
    u"Neunhundert",
    u"Tausend",
    u"Tausend",
    u"EineMillion",
    u"Millionen",
    u"EineMilliarde",
    u"Milliarden",
    u"** Unberechenbarer Wert **",
};

// The table of a language code, or nullptr for a code outside 1-5. Codes 1
// and 5 share the Italian words.
constexpr const WordTable *TableForCode(std::uint8_t code) noexcept {
    switch (code) {
    case 1:
    case 5:
        return &kItalian;
    case 2:
        return &kEnglish;
    case 3:
        return &kFrench;
    case 4:
        return &kGerman;
    default:
        return nullptr;
    }
}

inline constexpr std::u16string_view kGermanJoiner = u"Und";
inline constexpr std::u16string_view kGermanFinalS = u"s";

} // namespace telvo::words
