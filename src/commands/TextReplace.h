#pragma once

#include <QString>

// Every occurrence of search in text replaced, compared without regard to
// letter case when ignoreCase is set; an empty search text changes nothing.
QString ReplaceText(const QString& text, const QString& search, const QString& replacement, bool ignoreCase);
