// HelpPage: the program's help, a page installed with it. The address and
// the topic come from the string table; an address without a scheme is a
// page under the program folder ("Help\..."), the topic its anchor. F1 and
// the Help menu open it through DesktopOpener; when nothing opens it the
// user is told the page's path.
#pragma once
#include <QUrl>

class QWidget;

class HelpPage {
public:
    static QUrl Address();
    static void Open(QWidget* parent);
};
