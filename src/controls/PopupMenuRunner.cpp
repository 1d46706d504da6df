#include "controls/PopupMenuRunner.h"

#include <QMenu>

namespace {

TPopupMenuRunner& InstalledRunner()
{
    static TPopupMenuRunner runner;
    return runner;
}

}

QAction* RunPopupMenu(QMenu& menu, const QPoint& globalPos)
{
    const TPopupMenuRunner& runner = InstalledRunner();
    return runner ? runner(menu, globalPos) : menu.exec(globalPos);
}

TPopupMenuRunner SetPopupMenuRunner(TPopupMenuRunner runner)
{
    TPopupMenuRunner previous = std::move(InstalledRunner());
    InstalledRunner() = std::move(runner);
    return previous;
}
