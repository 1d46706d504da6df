#pragma once

#include <QString>
#include <QStringList>

#include <concepts>
#include <optional>
#include <variant>
#include <vector>

// One argument of a positional format: a text, an integer or a real number.
class TLangArg {
public:
    TLangArg(const QString& text) : m_value(text) {}
    TLangArg(const char* text) : m_value(QString::fromUtf8(text)) {}
    template <std::integral T>
        requires(!std::same_as<T, bool> && !std::same_as<T, char>)
    TLangArg(T number) : m_value(static_cast<qint64>(number))
    {
    }
    TLangArg(double number) : m_value(number) {}

    const QString* Text() const { return std::get_if<QString>(&m_value); }
    const qint64* Integer() const { return std::get_if<qint64>(&m_value); }
    const double* Real() const { return std::get_if<double>(&m_value); }

private:
    std::variant<QString, qint64, double> m_value;
};

using TLangArgs = std::vector<TLangArg>;

// Bounds of a format: the largest width or precision, and the longest result
// (in characters) a pattern may produce.
inline constexpr int MaxFormatWidth = 1024;
inline constexpr qsizetype MaxFormattedLength = 4 * 1024 * 1024;

// Whether a filled-in text must take every argument.
enum class TArgumentUse { Any, Every };

// Fills the arguments into pattern. Specifiers have the form
//   "%" [index ":"] ["-"] [width] ["." precision] type
// where index, width and precision are decimal numbers or "*" (taken from the
// next integer argument); "%%" is a percent sign. Types: "s" text; "d", "u",
// "x" integers; "e", "f", "g", "n", "m" real numbers. Without an index the
// next argument is taken (after an indexed one, the one after it). Returns
// nothing when the pattern does not fit the arguments: an unknown type, a
// missing argument, an argument of another kind, a width or precision beyond
// MaxFormatWidth, a result longer than MaxFormattedLength; with
// TArgumentUse::Every also when an argument is taken by no specifier.
std::optional<QString> FormatPositional(const QString& pattern, const TLangArgs& args,
                                        TArgumentUse use = TArgumentUse::Any);

// The first of the texts that takes every argument, filled in; else the
// first that can be filled in at all; else the first text as it stands. A
// translation that lost a placeholder or broke one thus gives way to a text
// of the same key that shows what the arguments tell.
QString FillFirstFitting(const QStringList& texts, const TLangArgs& args);
