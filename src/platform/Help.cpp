#include "platform/Help.h"

#include "platform/Prompt.h"

namespace {

THelpHandler& InstalledHelp()
{
    static THelpHandler handler;
    return handler;
}

}

bool ShowHelpPage(const QString& page)
{
    // A copy: the help may run a window that installs another handler.
    const THelpHandler handler = InstalledHelp();
    if (!handler) {
        if (TPrompt* prompt = CurrentPrompt())
            prompt->Beep();
        return false;
    }
    handler(page);
    return true;
}

THelpHandler SetHelpHandler(THelpHandler handler)
{
    THelpHandler previous = std::move(InstalledHelp());
    InstalledHelp() = std::move(handler);
    return previous;
}
