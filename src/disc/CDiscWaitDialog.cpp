#include "CDiscWaitDialog.h"

#include "CAlphaStatic.h"
#include "StringResources.h"

BOOL CDiscWaitDialog::SetupWaitSkin(int extraTextId, UINT extraCommand)
{
    SetIconPath(QString::fromLatin1(kIcon));
    if (extraTextId)
        return SetupSkin(LoadString(IDS_APP_CAPTION), QString::fromLatin1(kBackground), extraTextId, extraCommand,
                         IDS_BTN_CANCEL, IDCANCEL);
    return SetupSkin(LoadString(IDS_APP_CAPTION), QString::fromLatin1(kBackground), IDS_BTN_CANCEL, IDCANCEL);
}

void CDiscWaitDialog::AddTexts(const QRect& rect, const QRect& textRect, UINT textId, const QString& text)
{
    m_pTitle = new CAlphaStatic(this);
    m_pTitle->Create(LoadString(IDS_PLEASE_WAIT), WS_CHILD | WS_VISIBLE, rect, this, kTitleId);
    QFont bold = m_pTitle->font();
    bold.setBold(true);
    m_pTitle->setFont(bold);
    m_pText = new CAlphaStatic(this);
    m_pText->Create(text, WS_CHILD | WS_VISIBLE, textRect, this, textId);
    m_pText->setWordWrap(true);
    m_pText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}
