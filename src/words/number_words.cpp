#include "number_words.h"

#include "word_tables.h"

#include <algorithm>
#include <stdexcept>

namespace telvo {
namespace {

using words::WordTable;

constexpr std::size_t kMaxDigits = 12;
constexpr std::size_t kGroups = kMaxDigits / 3;

// No number word is longer than this; the message (entry 43) never goes
// through the buffer.
constexpr std::size_t kLongestWord = 14;
// A group appends at most five words: hundreds, unit, "Und", tens, scale.
constexpr std::size_t kBufferSize = kGroups * 5 * kLongestWord + 1;

// The result is assembled in a fixed buffer on the stack and copied into the
// returned string once, so a conversion allocates at most one block.
class Builder {
public:
    void Append(std::u16string_view word) noexcept {
        std::copy(word.begin(), word.end(), buffer_ + length_);
        length_ += word.size();
    }
    void DropLast(std::size_t count) noexcept { length_ -= std::min(count, length_); }
    bool EndsWith(std::u16string_view tail) const noexcept {
        return View().ends_with(tail);
    }
    std::u16string_view View() const noexcept { return {buffer_, length_}; }

private:
    char16_t buffer_[kBufferSize];
    std::size_t length_ = 0;
};

bool IsDigitString(std::u16string_view value) noexcept {
    return !value.empty() &&
           std::all_of(value.begin(), value.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

bool IsAllZeros(std::u16string_view digits) noexcept {
    return digits.find_first_not_of(u'0') == std::u16string_view::npos;
}

// Hundreds, tens and units of one three-digit group.
void AppendGroupDigits(Builder &out, const WordTable &table, std::uint8_t code, std::u16string_view group) {
    const int h = group[0] - u'0';
    const int t = group[1] - u'0';
    const int u = group[2] - u'0';

    if (h > 0) {
        out.Append(table[words::kHundredsBase + h]);
    }
    if (t == 1) {
        out.Append(table[words::kFirstTeen + u]);
    } else if (t >= 2 && code == 4 && u != 0) {
        out.Append(table[u]);
        out.Append(words::kGermanJoiner);
        out.Append(table[words::kTensBase + t]);
    } else if (t >= 2) {
        out.Append(table[words::kTensBase + t]);
        // Italian elision: Venti + Uno is VentUno, Novanta + Otto NovantOtto.
        if (code == 1 && (u == 1 || u == 8)) {
            out.DropLast(1);
        }
        if (u > 0) {
            out.Append(table[u]);
        }
    } else if (u > 0) {
        out.Append(table[u]);
    }
}

// g counts the groups from 1 (billions) to 3 (thousands).
void AppendScale(Builder &out, const WordTable &table, std::size_t g, std::u16string_view group) {
    if (group == u"001") {
        // "One thousand" is a word of its own: take back the unit just spelled.
        out.DropLast(table[1].size());
        out.Append(table[43 - 2 * g]);
    } else if (group != u"000") {
        out.Append(table[44 - 2 * g]);
    }
}

} // namespace

std::u16string NumberToWords(std::u16string_view value, std::uint8_t code) {
    const WordTable *table = words::TableForCode(code);
    if (table == nullptr) {
        throw std::invalid_argument("NumberToWords: no word table for language code " + std::to_string(code));
    }
    if (value.size() > kMaxDigits || !IsDigitString(value)) {
        return std::u16string((*table)[words::kMessage]);
    }
    if (IsAllZeros(value)) {
        return std::u16string((*table)[words::kZero]);
    }

    char16_t padded[kMaxDigits];
    const std::size_t padding = kMaxDigits - value.size();
    std::fill_n(padded, padding, u'0');
    std::copy(value.begin(), value.end(), padded + padding);
    const std::u16string_view digits(padded, kMaxDigits);

    Builder out;
    for (std::size_t g = 1; g <= kGroups; ++g) {
        const std::u16string_view group = digits.substr(3 * (g - 1), 3);
        AppendGroupDigits(out, *table, code, group);
        if (g < kGroups) {
            AppendScale(out, *table, g, group);
        }
    }
    if (code == 4 && out.EndsWith((*table)[1])) {
        out.Append(words::kGermanFinalS);
    }
    return std::u16string(out.View());
}

} // namespace telvo
