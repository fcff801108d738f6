// TagChoice: the add-tag dialog run for the disc information dialog, and
// what it hands back: the result code, the ticked tags as an ids string and
// a names string (valid after OK, and after Cancel when a tag was deleted),
// and whether tags were added or deleted while it was open.
#pragma once
#include "ILibraryEngine.h"

#include <QString>

class QWidget;

struct TagChoice {
    int result = 0;
    QString idsString;
    QString namesString;
    bool tagAdded = false;
    bool tagDeleted = false;

    // Runs the add-tag dialog with the disc's names string.
    static TagChoice Run(ILibraryEngine* engine, const QString& namesString, QWidget* parent);
};
