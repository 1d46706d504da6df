#pragma once

#include <QLocale>

// Qt's own texts (the buttons of message boxes and file dialogs, the edit
// menus of input fields) in the language of the program's texts. Replaces
// what an earlier call installed; English needs nothing. Returns whether a
// translation was installed.
bool InstallQtTranslations(const QLocale& locale);
// The same for the language loaded now (its file's language numbers).
bool InstallQtTranslationsForLoadedLanguage();
