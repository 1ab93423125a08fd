#pragma once

// The few places where Qt 5 and Qt 6 differ in API that lumo uses, each kept
// to the behaviour of the Qt 5 build, so that the classes themselves carry no
// version checks.

#include <QEvent>
#include <QKeySequence>
#include <QLocale>
#include <QMetaType>
#include <QMouseEvent>
#include <QString>
#include <QtGlobal>
#include <QWheelEvent>

#include <memory>

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
#include <QRegExp>
#include <QRegExpValidator>
#else
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#endif

namespace QxQtCompat {

// The wheel's turn in eighths of a degree along its main axis, as Qt 5's
// QWheelEvent::delta() gives it: the larger of the two angle deltas.
inline int wheelDelta(const QWheelEvent *event)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return event->delta();
    QT_WARNING_POP
#else
    const QPoint angle = event->angleDelta();
    // In 64 bits: the magnitude of INT_MIN does not fit an int.
    return qAbs(qint64(angle.x())) > qAbs(qint64(angle.y())) ? angle.x() : angle.y();
#endif
}

// The mouse event moved by offset within its widget; the window and screen
// positions stay those of the event.
inline std::unique_ptr<QMouseEvent> movedMouseEvent(const QMouseEvent *event, const QPoint &offset)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    return std::make_unique<QMouseEvent>(event->type(), event->localPos() + offset,
                                         event->windowPos(), event->screenPos(), event->button(),
                                         event->buttons(), event->modifiers(), event->source());
#else
    return std::make_unique<QMouseEvent>(event->type(), event->position() + offset,
                                         event->scenePosition(), event->globalPosition(),
                                         event->button(), event->buttons(), event->modifiers(),
                                         event->pointingDevice());
#endif
}

// Where a hover event happened, in its widget.
inline QPoint hoverPosition(const QHoverEvent *event)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    return event->pos();
#else
    return event->position().toPoint();
#endif
}

// A validator that takes the texts that `pattern` matches whole, with letters
// in either case. The pattern is in the Perl-like syntax that QRegExp and
// QRegularExpression read alike and writes its letters as the range A-Z.
inline QValidator *newCaseInsensitiveValidator(const QString &pattern, QObject *parent)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    return new QRegExpValidator(QRegExp(pattern, Qt::CaseInsensitive, QRegExp::RegExp), parent);
#else
    // Qt 5's QRegExpValidator compares letters by their upper-case form, so
    // it takes the dotless i (U+0131) and the long s (U+017F), whose upper
    // cases are I and S, and refuses the Kelvin sign (U+212A);
    // QRegularExpression's Unicode case folding does the opposite. Spelling
    // the cases out, those two included, gives every text over every code
    // point the state Qt 5 gives it.
    QString spelledOut = pattern;
    spelledOut.replace(QLatin1String("A-Z"), QLatin1String("A-Za-z\\x{131}\\x{17f}"));
    return new QRegularExpressionValidator(QRegularExpression(spelledOut), parent);
#endif
}

// QLocale::toDouble, reading the locale's own signs and exponent as Qt 5 does.
// Qt 6.4's locale data give Arabic (Egypt) signs that begin with an Arabic
// letter mark (U+061C) and the exponent "\u0627\u0633"; its QLocale::toString
// writes them, but its QLocale::toDouble reads only the plain "-", "+" and
// "e" there. Text the locale does not read is tried once more with those.
inline double toDouble(const QLocale &locale, const QString &text, bool *ok = nullptr)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    return locale.toDouble(text, ok);
#else
    bool read = false;
    double value = locale.toDouble(text, &read);
    if (!read) {
        QString plain = text;
        plain.replace(locale.negativeSign(), QLatin1String("-"))
                .replace(locale.positiveSign(), QLatin1String("+"))
                .replace(locale.exponential(), QLatin1String("e"), Qt::CaseInsensitive);
        if (plain != text)
            value = locale.toDouble(plain, &read);
    }
    if (ok)
        *ok = read;
    return value;
#endif
}

// Whether this Qt refuses numbers written with some locales' own signs and
// exponent (see toDouble() above).
constexpr bool localeRefusesItsOwnSigns = QT_VERSION >= QT_VERSION_CHECK(6, 0, 0);

// Makes QVariant compare values of the registered type T (id) with T's own
// operator==. Qt 6 takes it from the type by itself.
template<typename T> void registerEqualsComparator(int id)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    // Registering the comparator twice makes Qt warn.
    if (!QMetaType::hasRegisteredComparators(id))
        QMetaType::registerEqualsComparator<T>();
#else
    Q_UNUSED(id)
#endif
}

// Qt 5's QMetaType::registerEqualsComparator<T>() keeps its comparator in a
// function-local static, which the library would export as a unique symbol
// (T is exported): a unique symbol keeps the library loaded after dlclose.
// Instantiated hidden, it stays inside. Use at namespace scope, once per T.
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
#define QX_HIDDEN_EQUALS_COMPARATOR(T)                                                             \
    template __attribute__((visibility("hidden"))) bool QMetaType::registerEqualsComparator<T>();
#else
#define QX_HIDDEN_EQUALS_COMPARATOR(T)
#endif

// The first chord of a key sequence as Qt 5 writes it: the key code combined
// with the keyboard modifiers.
inline int firstChord(const QKeySequence &sequence)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    return sequence[0];
#else
    return sequence[0].toCombined();
#endif
}

} // namespace QxQtCompat
