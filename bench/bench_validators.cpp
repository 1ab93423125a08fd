// Figure: one fixup() of each validator against the bare parse-and-format
// cost that any repair pays (QString::toDouble plus QString::number), over
// the same mix of typed texts.

#include <lumo/QxAutoRulesValidator.h>
#include <lumo/QxExponentialNotationValidator.h>
#include <lumo/QxFixedDecimalsValidator.h>
#include <lumo/QxFormatingStringValidator.h>
#include <lumo/QxSignificantDigitsValidator.h>

#include "qtmain.h"

namespace {

const QStringList &typed()
{
    static const QStringList texts
            = { "3.14159", "-0.000123456", "123456.789",  "2.5",       "1.005",
                "42",      "1e-7",         "-98765.4321", "0.1000000", "7.00" };
    return texts;
}

void repair(benchmark::State &state, const QValidator &validator)
{
    const QStringList &texts = typed();
    int i = 0;
    for (auto _ : state) {
        QString text = texts[i++ % texts.size()];
        validator.fixup(text);
        benchmark::DoNotOptimize(text.constData());
    }
}

void baseline(benchmark::State &state)
{
    const QStringList &texts = typed();
    int i = 0;
    for (auto _ : state) {
        QString text = texts[i++ % texts.size()];
        text = QString::number(text.toDouble(), 'f', 3);
        benchmark::DoNotOptimize(text.constData());
    }
}

void fixedDecimals(benchmark::State &state)
{
    repair(state, QxFixedDecimalsValidator(3, nullptr));
}

void significantDigits(benchmark::State &state)
{
    repair(state, QxSignificantDigitsValidator(3, nullptr));
}

void exponentialNotation(benchmark::State &state)
{
    repair(state, QxExponentialNotationValidator(3, nullptr));
}

void autoRules(benchmark::State &state)
{
    repair(state, QxAutoRulesValidator(3, nullptr));
}

void formatingString(benchmark::State &state)
{
    repair(state, QxFormatingStringValidator("%.3f", nullptr));
}

} // namespace

BENCHMARK(baseline)->Name("fixup/baseline");
BENCHMARK(fixedDecimals)->Name("fixup/QxFixedDecimalsValidator");
BENCHMARK(significantDigits)->Name("fixup/QxSignificantDigitsValidator");
BENCHMARK(exponentialNotation)->Name("fixup/QxExponentialNotationValidator");
BENCHMARK(autoRules)->Name("fixup/QxAutoRulesValidator");
BENCHMARK(formatingString)->Name("fixup/QxFormatingStringValidator");

LUMO_BENCHMARK_QT_MAIN()
