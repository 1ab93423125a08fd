#pragma once

// main() for the widget benchmarks: the benchmarks run on the GUI thread of a
// QApplication, so the CPU time that Google Benchmark reports (the calling
// thread's) is the GUI thread's.

#include <QApplication>

#include <benchmark/benchmark.h>

#define LUMO_BENCHMARK_QT_MAIN()                                                                   \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        QApplication application(argc, argv);                                                      \
        benchmark::Initialize(&argc, argv);                                                        \
        if (benchmark::ReportUnrecognizedArguments(argc, argv))                                    \
            return 1;                                                                              \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
