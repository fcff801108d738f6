// CSearchCommand: the search box as the window runs it. The first letter
// typed turns the list into the search results at once (empty until the
// search runs); the search runs 300 ms after the last keystroke; emptying
// the box ends the search, a listing still finding included, and shows the
// discs again. The list sets the box's text without searching when a
// result is opened and when Back returns to the results.
#pragma once
#include <QObject>
#include <QTimer>

class CArcEditWrapper;
class CFileListView;

class CSearchCommand : public QObject {
    Q_OBJECT
public:
    static constexpr int kDelayMs = 300;

    CSearchCommand(CArcEditWrapper* box, CFileListView* list);

    QString Text() const;
    // Puts the text into the box without starting or ending a search.
    void SetTextQuietly(const QString& text);
    bool IsPending() const { return m_timer.isActive(); }

private:
    void OnTextChanged(const QString& text);

    CArcEditWrapper* m_pBox;
    CFileListView* m_pList;
    QTimer m_timer;
};
