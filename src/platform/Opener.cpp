#include "platform/Opener.h"

namespace {

TOpener& InstalledOpener()
{
    static TOpener opener;
    return opener;
}

}

bool OpenWithDesktop(const QUrl& url)
{
    const TOpener& opener = InstalledOpener();
    return opener && opener(url);
}

TOpener SetOpener(TOpener opener)
{
    TOpener previous = std::move(InstalledOpener());
    InstalledOpener() = std::move(opener);
    return previous;
}
