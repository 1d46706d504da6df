#include "common/StoredNames.h"

#include "localisation/MultiLanguage.h"

namespace {

constexpr QChar BuiltInMark = QLatin1Char('%');

} // namespace

QString BuiltInName(const QString& key)
{
    return BuiltInMark + key;
}

bool IsBuiltInName(const QString& name)
{
    return name.size() > 2 && name.front() == BuiltInMark;
}

QString ShownName(const QString& name)
{
    if (!IsBuiltInName(name))
        return name;
    const QString text = Lang(name.mid(1));
    return text.isEmpty() ? name : text;
}
