#include "platform/Help.h"

#include "platform/Prompt.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The installed handlers, oldest first, each with the scope that installed it.
std::vector<std::pair<const TScopedHelpHandler*, THelpHandler>>& InstalledHelp()
{
    static std::vector<std::pair<const TScopedHelpHandler*, THelpHandler>> handlers;
    return handlers;
}

}

bool ShowHelpPage(const QString& page)
{
    const auto& handlers = InstalledHelp();
    if (handlers.empty()) {
        if (TPrompt* prompt = CurrentPrompt())
            prompt->Beep();
        return false;
    }
    // A copy: the help may run a window that installs another handler.
    const THelpHandler handler = handlers.back().second;
    handler(page);
    return true;
}

TScopedHelpHandler::TScopedHelpHandler(THelpHandler handler)
{
    InstalledHelp().emplace_back(this, std::move(handler));
}

TScopedHelpHandler::~TScopedHelpHandler()
{
    std::erase_if(InstalledHelp(), [this](const auto& installed) { return installed.first == this; });
}
