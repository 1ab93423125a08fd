// Figure: the load cost of liblumo.so against QtWidgets' own, both loaded by
// dlopen into a fresh process that already holds the Qt libraries they need,
// plus one call into each. The time is the loading thread's CPU time, as
// measured by the probe; the wall time is reported alongside.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

struct Sample
{
    double cpu = 0;
    double wall = 0;
    double size = 0;
};

Sample probe(const std::string &arguments)
{
    const std::string command = std::string(LOAD_PROBE) + " " + arguments;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot start " + command);
    long long cpu = 0, wall = 0, size = 0, answer = 0;
    const int fields = std::fscanf(pipe, "%lld %lld %lld %lld", &cpu, &wall, &size, &answer);
    if (pclose(pipe) != 0 || fields != 4)
        throw std::runtime_error(command + " failed");
    return { cpu * 1e-9, wall * 1e-9, double(size) };
}

void measure(benchmark::State &state, const std::string &arguments)
{
    Sample total;
    for (auto _ : state) {
        const Sample sample = probe(arguments);
        state.SetIterationTime(sample.cpu);
        total.wall += sample.wall;
        total.size = sample.size;
    }
    state.counters["wall_us"] = total.wall * 1e6 / state.iterations();
    state.counters["file_bytes"] = total.size;
}

void ours(benchmark::State &state)
{
    measure(state, std::string("lumo ") + LUMO_LIBRARY_FILE);
}

void baseline(benchmark::State &state)
{
    measure(state, "qtwidgets");
}

} // namespace

BENCHMARK(ours)->Name("load/ours")->UseManualTime()->Iterations(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(baseline)
        ->Name("load/baseline")
        ->UseManualTime()
        ->Iterations(10)
        ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
