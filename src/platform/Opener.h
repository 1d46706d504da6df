#pragma once

#include <QUrl>

#include <functional>

// Files, help pages and web addresses open in the desktop's associated
// program through the opener installed here. The program installs the
// desktop's at start; tests install their own and see what would open.
using TOpener = std::function<bool(const QUrl&)>;

// Hands the address to the installed opener; false when none is installed or
// nothing could open it.
bool OpenWithDesktop(const QUrl& url);
// Installs an opener and returns the previous one.
TOpener SetOpener(TOpener opener);

// Installs an opener for the lifetime of a scope and gives the previous one
// back at its end.
class TScopedOpener {
public:
    explicit TScopedOpener(TOpener opener) : m_previous(SetOpener(std::move(opener))) {}
    ~TScopedOpener() { SetOpener(std::move(m_previous)); }
    TScopedOpener(const TScopedOpener&) = delete;
    TScopedOpener& operator=(const TScopedOpener&) = delete;

private:
    TOpener m_previous;
};
