#pragma once

#include <QString>

#include <functional>

// The tag engine shows a few texts of the chosen language (frame names,
// channel modes). It does not know the language object; the program installs
// a lookup here at start. Without one, the English text given is used.
using TEngineTextLookup = std::function<QString(const QString& key)>;

void SetEngineTextLookup(TEngineTextLookup lookup);
// The language's text for key, or englishDefault when no lookup is installed
// or the lookup has no text.
QString EngineText(const QString& key, const QString& englishDefault);
