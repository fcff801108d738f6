// DesktopOpener: how the window hands a file or an address to the desktop
// (ShellOpen: its default application). One place for the help page and the
// catalogued files a user opens, so that tests can put a stand-in there and
// see what would have been opened.
#pragma once
#include <QUrl>
#include <functional>

class DesktopOpener {
public:
    using Opener = std::function<bool(const QUrl&)>;

    // Replaces how addresses are opened (tests); ShellOpen::Open until then.
    static void Set(Opener opener);
    // Opens `url`; false when nothing could open it.
    static bool Open(const QUrl& url);

private:
    static Opener& Current();
};
