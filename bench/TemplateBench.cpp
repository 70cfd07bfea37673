// Expanding scanner command templates: the largest a profile may hold (4,096 characters with 300
// tokens), and larger texts to show the cost grows with the text, not the square of its tokens.
#include <benchmark/benchmark.h>

#include <string>

#include "scancontrol/CommandTemplate.h"

namespace {

// `tokens` tokens of every source, filled up with plain text to `length` characters.
std::string TemplateOf(size_t length, int tokens)
{
    const char* kinds[] = {"$QF-0#######$", "$AF-0##.#####$", "$SP-KHZ$", "$CR$", "$UNIDENFREQ$"};
    std::string text;
    for (int i = 0; i < tokens; ++i)
        text += std::string(kinds[i % 5]) + "x";
    if (text.size() < length)
        text += std::string(length - text.size(), 'y');
    return text;
}

void ExpandTemplate(benchmark::State& state)
{
    const std::string templ = TemplateOf(static_cast<size_t>(state.range(0)), static_cast<int>(state.range(1)));
    const TemplateValues values{851.0125, 866.0, 0.0125};
    for (auto _ : state)
        benchmark::DoNotOptimize(ExpandCommandTemplate(templ, values));
    state.SetLabel(std::to_string(templ.size()) + " characters");
}
BENCHMARK(ExpandTemplate)->Args({4096, 300})->Args({65536, 5000})->Args({524288, 40000})->Unit(benchmark::kMicrosecond);

}  // namespace
