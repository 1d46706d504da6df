#include "tagengine/EngineText.h"

namespace {
TEngineTextLookup& Lookup()
{
    static TEngineTextLookup lookup;
    return lookup;
}
}

void SetEngineTextLookup(TEngineTextLookup lookup)
{
    Lookup() = std::move(lookup);
}

QString EngineText(const QString& key, const QString& englishDefault)
{
    if (const auto& lookup = Lookup()) {
        QString text = lookup(key);
        if (!text.isEmpty())
            return text;
    }
    return englishDefault;
}
