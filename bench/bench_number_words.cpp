// Cost of one conversion of a random twelve-digit number, under each language
// code, beside ICU's spell-out of the same numbers in the same languages.

#include "number_words.h"

#include <benchmark/benchmark.h>
#include <unicode/locid.h>
#include <unicode/rbnf.h>
#include <unicode/unistr.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kSamples = 4096;

struct Samples {
    std::vector<std::int64_t> values;
    std::vector<std::u16string> texts;
};

const Samples &RandomTwelveDigitNumbers() {
    static const Samples samples = [] {
        Samples s;
        std::mt19937_64 random(20261207);
        std::uniform_int_distribution<std::int64_t> twelveDigits(100000000000, 999999999999);
        for (std::size_t i = 0; i < kSamples; ++i) {
            const std::int64_t value = twelveDigits(random);
            const std::string ascii = std::to_string(value);
            s.values.push_back(value);
            s.texts.emplace_back(ascii.begin(), ascii.end());
        }
        return s;
    }();
    return samples;
}

void BM_NumberToWords(benchmark::State &state) {
    const auto code = static_cast<std::uint8_t>(state.range(0));
    const Samples &samples = RandomTwelveDigitNumbers();
    std::size_t i = 0;
    for (auto _ : state) {
        std::u16string words = telvo::NumberToWords(samples.texts[i], code);
        benchmark::DoNotOptimize(words.data());
        i = (i + 1) % kSamples;
    }
    state.SetItemsProcessed(state.iterations());
}

const char *LocaleForCode(std::int64_t code) {
    switch (code) {
    case 2:
        return "en";
    case 3:
        return "fr";
    case 4:
        return "de";
    default:
        return "it";
    }
}

void BM_IcuSpellout(benchmark::State &state) {
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::RuleBasedNumberFormat>(
        icu::URBNF_SPELLOUT, icu::Locale(LocaleForCode(state.range(0))), status);
    if (U_FAILURE(status)) {
        state.SkipWithError("ICU spell-out is not available for this locale");
        return;
    }
    const Samples &samples = RandomTwelveDigitNumbers();
    std::size_t i = 0;
    for (auto _ : state) {
        icu::UnicodeString words;
        format->format(samples.values[i], words);
        benchmark::DoNotOptimize(words.getBuffer());
        i = (i + 1) % kSamples;
    }
    state.SetItemsProcessed(state.iterations());
}

// Prints the usual table, then for each code the converter's time as a
// fraction of ICU's, from the medians when repetitions are asked for.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Iteration || median) {
                const std::string name = run.run_name.function_name + "/" + run.run_name.args;
                (median ? medians_ : singles_)[name] = run.GetAdjustedCPUTime();
            }
        }
    }

    void PrintRatios() const {
        const auto &times = medians_.empty() ? singles_ : medians_;
        std::fflush(stdout);
        std::printf("\n");
        for (int code = 1; code <= 5; ++code) {
            const std::string args = "code:" + std::to_string(code);
            const auto ours = times.find("BM_NumberToWords/" + args);
            const auto icu = times.find("BM_IcuSpellout/" + args);
            if (ours != times.end() && icu != times.end() && ours->second > 0) {
                std::printf("code %d: NumberToWords %.0f ns, ICU spell-out %.0f ns: 1/%.1f of ICU's time\n",
                            code, ours->second, icu->second, icu->second / ours->second);
            }
        }
    }

private:
    std::map<std::string, double> medians_, singles_;
};

} // namespace

BENCHMARK(BM_NumberToWords)->DenseRange(1, 5)->ArgName("code");
BENCHMARK(BM_IcuSpellout)->DenseRange(1, 5)->ArgName("code");

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
