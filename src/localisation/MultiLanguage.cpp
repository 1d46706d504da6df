#include "localisation/MultiLanguage.h"

TMultiLanguage LangStrings;

namespace {

// "\n" becomes CR LF, a backslash before any other character gives that
// character, and a backslash at the very end stays.
QString Unescape(const QString& value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            text += c;
            continue;
        }
        const QChar next = value.at(++i);
        if (next == QLatin1Char('n'))
            text += QStringLiteral("\r\n");
        else
            text += next;
    }
    return text;
}

}

bool TMultiLanguage::IsLanguageLoaded() const
{
    return !m_current.IsEmpty();
}

QString TMultiLanguage::GetLangString(const QString& key) const
{
    if (key.isEmpty())
        return QString();
    QString value = m_current.Value(key);
    if (value.isEmpty())
        value = m_custom.Value(key);
    return Unescape(value);
}

QString TMultiLanguage::GetBaseLangString(const QString& key) const
{
    return key.isEmpty() ? QString() : Unescape(m_custom.Value(key));
}

QString TMultiLanguage::FormatLangString(const QString& key, const TLangArgs& args) const
{
    return FillFirstFitting({GetLangString(key), GetBaseLangString(key)}, args);
}

bool TMultiLanguage::TranslateText(QString& text) const
{
    if (text.size() < 2 || text.at(0) != QLatin1Char('%'))
        return false;
    if (text.at(1) == QLatin1Char('%'))
        text.remove(0, 1);
    else
        text = GetLangString(text.mid(1));
    return true;
}

QString Lang(const QString& key)
{
    return LangStrings.GetLangString(key);
}

QString LangFmt(const QString& key, const TLangArgs& args)
{
    return LangStrings.FormatLangString(key, args);
}
