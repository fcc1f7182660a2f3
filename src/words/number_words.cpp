#include "number_words.h"

#include "word_tables.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace telvo {
namespace {

using words::WordTable;

constexpr std::size_t kMaxDigits = 12;
constexpr std::size_t kGroups = kMaxDigits / 3;

// Each word is also kept in a fixed slot of kSlot characters, so that
// appending it is one fixed-size copy, with no call and no loop over its
// characters. The message (entry 43) is returned whole and needs no slot.
constexpr std::size_t kSlot = 16;

struct SlottedWord {
    char16_t text[kSlot]{};
    std::size_t length = 0;
};
using SlottedTable = std::array<SlottedWord, words::kMessage>;

constexpr SlottedWord Slot(std::u16string_view word) {
    if (word.size() > kSlot) {
        throw std::length_error("number word longer than its slot");
    }
    SlottedWord slot;
    std::copy(word.begin(), word.end(), slot.text);
    slot.length = word.size();
    return slot;
}

constexpr SlottedTable Slotted(const WordTable &table) {
    SlottedTable slotted;
    for (std::size_t i = 0; i < slotted.size(); ++i) {
        slotted[i] = Slot(table[i]);
    }
    return slotted;
}

constexpr SlottedTable kSlottedItalian = Slotted(words::kItalian);
constexpr SlottedTable kSlottedEnglish = Slotted(words::kEnglish);
constexpr SlottedTable kSlottedFrench = Slotted(words::kFrench);
constexpr SlottedTable kSlottedGerman = Slotted(words::kGerman);
constexpr SlottedWord kGermanJoiner = Slot(words::kGermanJoiner);
constexpr SlottedWord kGermanFinalS = Slot(words::kGermanFinalS);

constexpr const SlottedTable &SlottedFor(const WordTable &table) {
    if (&table == &words::kEnglish) {
        return kSlottedEnglish;
    }
    if (&table == &words::kFrench) {
        return kSlottedFrench;
    }
    if (&table == &words::kGerman) {
        return kSlottedGerman;
    }
    return kSlottedItalian;
}

// A group appends at most five words: hundreds, unit, "Und", tens, scale;
// the last copy may run a whole slot past the end of the text.
constexpr std::size_t kBufferSize = kGroups * 5 * kSlot + 1 + kSlot;

// The result is assembled in a fixed buffer on the stack and copied into the
// returned string once, so a conversion allocates at most one block.
class Builder {
public:
    void Append(const SlottedWord &word) noexcept {
        std::copy_n(word.text, kSlot, buffer_ + length_);
        length_ += word.length;
    }
    void DropLast(std::size_t count) noexcept { length_ -= std::min(count, length_); }
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
void AppendGroupDigits(Builder &out, const SlottedTable &table, std::uint8_t code,
                       std::u16string_view group) {
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
        out.Append(kGermanJoiner);
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
void AppendScale(Builder &out, const SlottedTable &table, std::size_t g, std::u16string_view group) {
    if (group == u"001") {
        // "One thousand" is a word of its own: take back the unit just spelled.
        out.DropLast(table[1].length);
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

    const SlottedTable &slotted = SlottedFor(*table);
    Builder out;
    for (std::size_t g = 1; g <= kGroups; ++g) {
        const std::u16string_view group = digits.substr(3 * (g - 1), 3);
        AppendGroupDigits(out, slotted, code, group);
        if (g < kGroups) {
            AppendScale(out, slotted, g, group);
        }
    }
    if (code == 4 && out.View().ends_with((*table)[1])) {
        out.Append(kGermanFinalS);
    }
    return std::u16string(out.View());
}

} // namespace telvo
