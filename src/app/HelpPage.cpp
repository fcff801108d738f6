#include "HelpPage.h"

#include "CFlwMessageBox.h"
#include "DesktopOpener.h"
#include "ProgramPaths.h"
#include "ResourceIds.h"
#include "StringResources.h"

#include <QDir>

QUrl HelpPage::Address()
{
    const QString address = LoadString(IDS_HELP_ADDRESS);
    const QString topic = LoadString(IDS_HELP_TOPIC);
    QUrl url(address);
    if (url.scheme().isEmpty() || url.scheme().size() == 1) // a plain path ("Help\...")
        url = QUrl::fromLocalFile(ProgramPaths::UnderProgramFolder(address));
    if (!topic.isEmpty()) url.setFragment(topic);
    return url;
}

void HelpPage::Open(QWidget* parent)
{
    const QUrl help = Address();
    if (DesktopOpener::Open(help)) return;
    const QString page = help.isLocalFile() ? QDir::toNativeSeparators(help.toLocalFile()) : help.toString();
    CFlwMessageBox::showMessage(FormatString(IDS_FMT_HELP_NOT_OPENED, {page}), MB_ICONEXCLAMATION,
                                CFlwMessageBox::kCaptionId, parent);
}
