#include "DesktopOpener.h"

#include "ShellOpen.h"

DesktopOpener::Opener& DesktopOpener::Current()
{
    static Opener opener = &ShellOpen::Open;
    return opener;
}

void DesktopOpener::Set(Opener opener) { Current() = std::move(opener); }

bool DesktopOpener::Open(const QUrl& url) { return Current()(url); }
