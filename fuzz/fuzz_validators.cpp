// Fuzzes the validators' repair step and QxCustomValidator::removeTrailingZero
// on arbitrary text.
//
// Input: one byte choosing the digit count (-128 to 127) and the format of the
// formatting validator, then the text as UTF-8 (invalid sequences included);
// the input's length chooses the locale (C, German or Arabic (Egypt)). Besides
// surviving any text: the trimming removes only trailing zeros and at most
// one separator after them; each validator's one-argument fixup is its
// two-argument one with the rule of value 2; and a repaired text, repaired
// again, stays as it is for the fixed-decimals validator, in the C locale, in
// German (decimal comma) and in Arabic (Egypt) (digits of its own). With
// clamping on, over a range chosen by the first byte and the length, every
// validator's repair writes a number inside the range (read in the C locale
// and in German, the format's literal "%" set aside).

#include <lumo/QxAutoRulesValidator.h>
#include <lumo/QxCustomValidator.h>
#include <lumo/QxExponentialNotationValidator.h>
#include <lumo/QxFixedDecimalsValidator.h>
#include <lumo/QxFormatingStringValidator.h>
#include <lumo/QxSignificantDigitsValidator.h>

#include <QLocale>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

[[noreturn]] void fail(const char *what, const QString &input, const QString &output)
{
    std::fprintf(stderr, "fuzz_validators: %s\n  input:  \"%s\"\n  output: \"%s\"\n", what,
                 input.toUtf8().constData(), output.toUtf8().constData());
    std::abort();
}

// What trimming must leave: the text less its trailing zeros and then less
// one trailing separator, when the text holds a separator at all.
QString trimmed(QString text)
{
    if (!text.contains('.') && !text.contains(','))
        return text;
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith(',') || text.endsWith('.'))
        text.chop(1);
    return text;
}

const char *const formats[] = { "%.3f", "%08.3f", "%.2f%%", "%.0f", "%+.6f", "%12.1f" };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const bool cLocale = [] {
        QLocale::setDefault(QLocale::c());
        return true;
    }();
    (void)cLocale;

    const int digits = static_cast<std::int8_t>(data[0]);
    const char *format = formats[data[0] % (sizeof formats / sizeof *formats)];
    const QString input
            = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), int(size - 1));

    QString text = input;
    QxCustomValidator::removeTrailingZero(text);
    if (text != trimmed(input))
        fail("removeTrailingZero", input, text);

    // One locale an input, chosen by its length, keeps a run as cheap as one
    // in the C locale alone.
    static const QLocale locales[] = { QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                       QLocale(QLocale::Arabic, QLocale::Egypt) };
    {
        const QLocale &locale = locales[size % 3];
        std::vector<std::unique_ptr<QxCustomValidator>> validators;
        validators.emplace_back(new QxCustomValidator(nullptr));
        validators.emplace_back(new QxFixedDecimalsValidator(digits, nullptr));
        validators.emplace_back(new QxSignificantDigitsValidator(digits, nullptr));
        validators.emplace_back(new QxExponentialNotationValidator(digits, nullptr));
        validators.emplace_back(new QxAutoRulesValidator(digits, nullptr));
        validators.emplace_back(
                new QxFormatingStringValidator(QString::fromLatin1(format), nullptr));

        for (const auto &validator : validators) {
            validator->setLocale(locale);
            QString byDefault = input;
            validator->fixup(byDefault);
            QString byRule = input;
            validator->fixup(byRule, ZvRoundingRule(2));
            if (byDefault != byRule)
                fail("the one-argument fixup differs from the rule of value 2", input, byDefault);
            for (int rule = 0; rule <= 5; ++rule) {
                QString repaired = input;
                validator->fixup(repaired, ZvRoundingRule(rule));
            }

            const double bottom = -double(data[0] % 16) / 4;
            const double top = bottom + double(size % 13) / 3;
            validator->setRange(bottom, top, 3);
            validator->setClampToRange(true);
            QString clamped = input;
            validator->fixup(clamped);
            if (locale.language() != QLocale::Arabic) {
                QString number = clamped;
                if (number.endsWith(QLatin1Char('%')))
                    number.chop(1);
                bool ok = false;
                const double value = locale.toDouble(number.trimmed(), &ok);
                if (!ok || value < bottom || value > top)
                    fail("with clamping on, the repair wrote a number outside the range", input,
                         clamped);
            }
        }

        // Fixed decimals: the repaired text is already rounded and trimmed, and
        // reads back in the same locale, so a second repair has nothing left to do.
        if (digits >= 0) {
            QxFixedDecimalsValidator fixed(digits, nullptr);
            fixed.setLocale(locale);
            QString once = input;
            fixed.fixup(once);
            QString twice = once;
            fixed.fixup(twice);
            if (twice != once)
                fail("a second repair changed the text", once, twice);
        }
    }
    return 0;
}
