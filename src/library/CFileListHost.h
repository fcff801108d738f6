// What the file list view asks of the window around it: the location
// text, the search box, the command bar's buttons and the tag pane. The
// main frame answers; tests may stand in for it.
#pragma once
#include "hresult.h"

#include <QString>
#include <QStringList>

class QWidget;

class CFileListHost {
public:
    virtual ~CFileListHost() = default;

    virtual void SetLocationText(const QString& text) = 0;
    virtual QString SearchText() const = 0;
    // Puts the text into the search box without starting a search.
    virtual void SetSearchText(const QString& text) = 0;
    // Puts the keyboard into the search box.
    virtual void FocusSearchBox() = 0;
    // Enables a button of the command bar by index (1 back, 2 view mode).
    virtual void EnableCommandButton(int index, bool enable) = 0;
    // The window that owns menus and message boxes.
    virtual QWidget* MainWindow() = 0;

    // Search results (true) or another list (false) is shown: search
    // results are shown in details, and the view modes rest meanwhile.
    virtual void ShowSearchLayout(bool searchResults) { (void)searchResults; }

    // The tag pane: untick every tag; reload its tags keeping the ticks;
    // show the disc list filtered by the ticked tags.
    virtual void ClearTagFilter() = 0;
    virtual void RefreshTags() = 0;
    virtual void ApplyTagFilter() = 0;

    // Every failed engine call of the view comes here (a damaged library
    // is told to the user once and a repair offered); nothing by default.
    virtual void OnEngineFailure(HRESULT hr) { (void)hr; }
    // Opens a catalogued file from its disc: the file `name` in the folder
    // `folderPath` ("\DIR\SUB", "" for the root) of disc `discId`.
    virtual void OpenCataloguedFile(int /*discId*/, const QString& /*folderPath*/, const QString& /*name*/) {}
};
