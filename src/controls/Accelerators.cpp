#include "controls/Accelerators.h"

QString LiteralCaption(const QString& text)
{
    QString caption = text;
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString StripAccelerator(const QString& caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (++i >= caption.size())
                break;
        }
        text += caption.at(i);
    }
    return text;
}

QString PlainCaption(const QString& caption)
{
    QString text = StripAccelerator(caption).trimmed();
    if (text.endsWith(QChar(0x2026)))
        text.chop(1);
    else if (text.endsWith(QStringLiteral("..")))
        while (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    return text.trimmed();
}
