#include "TagChoice.h"

#include "CAddTagDlg.h"

TagChoice TagChoice::Run(ILibraryEngine* engine, const QString& namesString, QWidget* parent)
{
    CAddTagDlg dialog(engine, parent);
    dialog.setNames(namesString);
    TagChoice choice;
    choice.result = dialog.DoModal();
    choice.idsString = dialog.idsString();
    choice.namesString = dialog.namesString();
    choice.tagAdded = dialog.wasTagAdded();
    choice.tagDeleted = dialog.wasTagDeleted();
    return choice;
}
