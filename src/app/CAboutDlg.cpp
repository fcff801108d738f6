#include "CAboutDlg.h"

#include "CAlphaStatic.h"
#include "ResourceIds.h"
#include "SkinFont.h"
#include "StringResources.h"
#include "WinControls.h"

#include <QCoreApplication>

CAboutDlg::CAboutDlg(QWidget* parent) : CFlwBaseDialog(kTemplateId, parent) {}

BOOL CAboutDlg::OnInitDialog()
{
    if (!SetupSkin(LoadString(IDS_ABOUT_CAPTION), QString::fromLatin1(kBackground), 0, IDOK)) return FALSE;
    const int left = 140, width = 250;
    auto text = [&](const QString& content, int top, int height, const QFont& font) {
        auto* label = new CAlphaStatic(this);
        label->Create(content, WS_CHILD | WS_VISIBLE, QRect(left, top, width, height), this, 0);
        label->setFont(font);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
    };
    text(LoadString(IDS_APP_NAME), 58, 30, SkinFont::ShellDlg(22, true));
    text(LoadString(IDS_ABOUT_VERSION).replace(QStringLiteral("%s"), QCoreApplication::applicationVersion()), 90, 18,
         SkinFont::ShellDlg());
    text(LoadString(IDS_ABOUT_DESCRIPTION), 114, 50, SkinFont::ShellDlg());
    text(LoadString(IDS_ABOUT_LIBRARIES).replace(QStringLiteral("%s"), QString::fromLatin1(qVersion())), 166, 30,
         SkinFont::ShellDlg(11));
    return TRUE;
}
