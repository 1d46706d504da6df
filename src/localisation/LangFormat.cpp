#include "localisation/LangFormat.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

struct TSpecifier {
    bool leftAlign = false;
    int width = -1;
    int precision = -1;
    QChar type;
};

// Walks one pattern; every read is bounds-checked and every failure ends the
// whole format.
class TPositionalFormatter {
public:
    TPositionalFormatter(const QString& pattern, const TLangArgs& args)
        : m_pattern(pattern), m_args(args), m_taken(args.size(), false)
    {
    }

    std::optional<QString> Run()
    {
        QString out;
        while (m_pos < m_pattern.size()) {
            const QChar c = m_pattern.at(m_pos++);
            if (c != QLatin1Char('%')) {
                out += c;
                continue;
            }
            if (Peek() == QLatin1Char('%')) {
                ++m_pos;
                out += c;
                continue;
            }
            const std::optional<QString> piece = Specifier();
            if (!piece || out.size() + piece->size() > MaxFormattedLength)
                return std::nullopt;
            out += *piece;
        }
        return out;
    }

    // True when every argument was taken by a specifier.
    bool TookEveryArgument() const
    {
        return std::all_of(m_taken.begin(), m_taken.end(), [](bool taken) { return taken; });
    }

private:
    QChar Peek() const { return m_pos < m_pattern.size() ? m_pattern.at(m_pos) : QChar(); }

    // A decimal number or "*"; nothing when neither stands here.
    std::optional<int> Number(bool* failed)
    {
        if (Peek() == QLatin1Char('*')) {
            ++m_pos;
            const TLangArg* arg = NextArg();
            if (!arg || !arg->Integer() || *arg->Integer() < 0 || *arg->Integer() > MaxFormatWidth) {
                *failed = true;
                return std::nullopt;
            }
            return static_cast<int>(*arg->Integer());
        }
        if (!Peek().isDigit() || Peek().unicode() > 0x7F)
            return std::nullopt;
        qint64 value = 0;
        while (Peek().isDigit() && Peek().unicode() <= 0x7F) {
            value = value * 10 + (Peek().unicode() - u'0');
            ++m_pos;
            if (value > MaxFormatWidth) {
                *failed = true;
                return std::nullopt;
            }
        }
        return static_cast<int>(value);
    }

    const TLangArg* NextArg()
    {
        if (m_next < 0 || m_next >= static_cast<qsizetype>(m_args.size()))
            return nullptr;
        m_taken[static_cast<size_t>(m_next)] = true;
        return &m_args[static_cast<size_t>(m_next++)];
    }

    std::optional<QString> Specifier()
    {
        TSpecifier specifier;
        bool failed = false;
        std::optional<int> first = Number(&failed);
        if (failed)
            return std::nullopt;
        if (first && Peek() == QLatin1Char(':')) {
            ++m_pos;
            m_next = *first;
            first.reset();
        }
        if (first) {
            specifier.width = *first;
        } else {
            if (Peek() == QLatin1Char('-')) {
                specifier.leftAlign = true;
                ++m_pos;
            }
            specifier.width = Number(&failed).value_or(-1);
        }
        if (!failed && Peek() == QLatin1Char('.')) {
            ++m_pos;
            const std::optional<int> precision = Number(&failed);
            if (!precision)
                return std::nullopt;
            specifier.precision = *precision;
        }
        if (failed || m_pos >= m_pattern.size())
            return std::nullopt;
        specifier.type = m_pattern.at(m_pos++).toLower();
        const TLangArg* arg = NextArg();
        if (!arg)
            return std::nullopt;
        std::optional<QString> text = Convert(specifier, *arg);
        if (!text)
            return std::nullopt;
        return Pad(*text, specifier);
    }

    static QString Pad(const QString& text, const TSpecifier& specifier)
    {
        if (specifier.width <= text.size())
            return text;
        const QString fill(specifier.width - text.size(), QLatin1Char(' '));
        return specifier.leftAlign ? text + fill : fill + text;
    }

    static std::optional<QString> Convert(const TSpecifier& specifier, const TLangArg& arg)
    {
        switch (specifier.type.unicode()) {
        case u's':
            if (!arg.Text())
                return std::nullopt;
            return specifier.precision >= 0 ? arg.Text()->left(specifier.precision) : *arg.Text();
        case u'd':
        case u'u':
        case u'x':
            if (!arg.Integer())
                return std::nullopt;
            return IntegerText(specifier, *arg.Integer());
        case u'e':
        case u'f':
        case u'g':
        case u'n':
        case u'm':
            if (!arg.Real() || !std::isfinite(*arg.Real()))
                return std::nullopt;
            return RealText(specifier, *arg.Real());
        default:
            return std::nullopt;
        }
    }

    // The precision of an integer is its least number of digits.
    static QString IntegerText(const TSpecifier& specifier, qint64 value)
    {
        const bool negative = specifier.type == QLatin1Char('d') && value < 0;
        QString digits;
        if (specifier.type == QLatin1Char('x'))
            digits = QString::number(static_cast<quint64>(value), 16).toUpper();
        else if (specifier.type == QLatin1Char('u'))
            digits = QString::number(static_cast<quint64>(value));
        else
            digits = QString::number(value).remove(QLatin1Char('-'));
        if (specifier.precision > digits.size())
            digits.prepend(QString(specifier.precision - digits.size(), QLatin1Char('0')));
        return negative ? QLatin1Char('-') + digits : digits;
    }

    static QString RealText(const TSpecifier& specifier, double value)
    {
        const QLocale locale;
        switch (specifier.type.unicode()) {
        case u'e':
            return Scientific(locale, value, specifier.precision < 0 ? 15 : qMax(specifier.precision, 1));
        case u'g':
            return locale.toString(value, 'G', specifier.precision < 0 ? 15 : qMax(specifier.precision, 1));
        case u'f': {
            QLocale plain = locale;
            plain.setNumberOptions(QLocale::OmitGroupSeparator);
            return plain.toString(value, 'f', specifier.precision < 0 ? 2 : specifier.precision);
        }
        case u'n': {
            QLocale grouped = locale;
            grouped.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
            return grouped.toString(value, 'f', specifier.precision < 0 ? 2 : specifier.precision);
        }
        default:
            return locale.toCurrencyString(value, locale.currencySymbol(), specifier.precision < 0 ? 2 : specifier.precision);
        }
    }

    // "d.dddE+ddd": significant digits as given, an exponent of three digits.
    static QString Scientific(const QLocale& locale, double value, int digits)
    {
        const QString text = QString::number(value, 'E', digits - 1);
        const qsizetype e = text.indexOf(QLatin1Char('E'));
        QString mantissa = text.left(e);
        mantissa.replace(QLatin1Char('.'), locale.decimalPoint());
        const QString exponent = text.mid(e + 2);
        return mantissa + QLatin1Char('E') + text.at(e + 1) + exponent.rightJustified(3, QLatin1Char('0'));
    }

    const QString& m_pattern;
    const TLangArgs& m_args;
    qsizetype m_pos = 0;
    qsizetype m_next = 0;
    std::vector<bool> m_taken;
};

}

std::optional<QString> FormatPositional(const QString& pattern, const TLangArgs& args, TArgumentUse use)
{
    TPositionalFormatter formatter(pattern, args);
    std::optional<QString> text = formatter.Run();
    if (text && use == TArgumentUse::Every && !formatter.TookEveryArgument())
        return std::nullopt;
    return text;
}

QString FillFirstFitting(const QStringList& texts, const TLangArgs& args)
{
    for (const TArgumentUse use : {TArgumentUse::Every, TArgumentUse::Any})
        for (const QString& text : texts)
            if (std::optional<QString> filled = FormatPositional(text, args, use))
                return *filled;
    return texts.value(0);
}
