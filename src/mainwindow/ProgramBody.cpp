// The program's entry: start screen, main window, message loop.
#include "controls/QtPrompt.h"
#include "mainwindow/FQuillon.h"
#include "dialogs/FormStart.h"
#include "controls/ImageLists.h"
#include "mainwindow/SessionEnd.h"

#include "localisation/LanguageLoader.h"
#include "platform/NativePath.h"
#include "platform/Opener.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setWindowIcon(ImageLists::ProgramIcon());

    TQtPrompt prompt;
    SetPrompt(&prompt);
    SetOpener(DesktopOpener());
    SetProgramQuery(DesktopProgramQuery());
    try {
        LoadBaseLanguage();
    } catch (const TLanguageLoadError& e) {
        prompt.Error(nullptr, QString::fromUtf8(e.what()));
        return 1;
    }
    InstallEngineTextLookup();

    QPointer<TFormStart> startScreen = new TFormStart;
    startScreen->show();
    startScreen->repaint();
    QApplication::processEvents();

    int result = 0;
    {
        // Paths as path texts: arguments() would lose the bytes of a name
        // that is not valid UTF-8. QApplication took its own options out.
        QStringList paths;
        for (int i = 1; i < argc; ++i)
            paths << PathFromNative(QByteArray(argv[i]));
        TFQuillon window(paths);
        CloseOnTermination(window);
        window.show();
        result = QApplication::exec();
    }
    delete startScreen;
    SetPrompt(nullptr);
    return result;
}
