#include "commands/TextReplace.h"

QString ReplaceText(const QString& text, const QString& search, const QString& replacement, bool ignoreCase)
{
    if (search.isEmpty())
        return text;
    QString result = text;
    result.replace(search, replacement, ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
    return result;
}
