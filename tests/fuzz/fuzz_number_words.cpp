// libFuzzer target for the converter. The first byte picks the language code
// (any byte: codes outside 1-5 must throw); the rest becomes the text, mostly
// ASCII digits so that the fuzzer reaches deep into the spelling rules, with
// any UTF-16 unit mixed in.

#include "number_words.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

[[noreturn]] void Broken(const char *what) {
    __builtin_trap();
    (void)what;
}

std::u16string TextFrom(const std::uint8_t *data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] < 0xF0) {
            text += static_cast<char16_t>(u'0' + data[i] % 10);
        } else if (i + 2 < size) {
            text += static_cast<char16_t>(data[i + 1] << 8 | data[i + 2]);
            i += 2;
        }
    }
    return text;
}

bool IsDigitString(const std::u16string &text) {
    if (text.empty()) {
        return false;
    }
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t code = data[0];
    const std::u16string text = TextFrom(data + 1, size - 1);

    std::u16string words;
    try {
        words = telvo::NumberToWords(text, code);
    } catch (const std::invalid_argument &) {
        if (code >= 1 && code <= 5) {
            Broken("a valid code threw");
        }
        return 0;
    }
    if (code < 1 || code > 5) {
        Broken("a bad code did not throw");
    }
    if (words.empty()) {
        Broken("an empty result");
    }
    const bool convertible = IsDigitString(text) && text.size() <= 12;
    const bool message = words.starts_with(u"** ");
    if (convertible == message) {
        Broken("the message for a number, or words for something else");
    }
    if (convertible && words.find(u' ') != std::u16string::npos) {
        Broken("a blank inside the words");
    }
    // Same input, same words: nothing is kept between calls.
    if (telvo::NumberToWords(text, code) != words) {
        Broken("a second call differs");
    }
    return 0;
}
