#include "CSearchCommand.h"

#include "CArcEditWrapper.h"
#include "CFileListView.h"

CSearchCommand::CSearchCommand(CArcEditWrapper* box, CFileListView* list) : m_pBox(box), m_pList(list)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_pList->Search(Text()); });
    connect(m_pBox, &CArcEditWrapper::textChanged, this, &CSearchCommand::OnTextChanged);
}

QString CSearchCommand::Text() const { return m_pBox->Text(); }

void CSearchCommand::SetTextQuietly(const QString& text)
{
    const QSignalBlocker quiet(m_pBox);
    m_pBox->SetText(text);
    m_timer.stop();
}

void CSearchCommand::OnTextChanged(const QString& text)
{
    if (text.isEmpty()) {
        m_timer.stop();
        m_pList->EndSearch();
        return;
    }
    m_pList->BeginSearch();
    m_timer.start();
}
