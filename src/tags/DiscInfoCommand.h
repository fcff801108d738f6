// DiscInfoCommand: the disc information command of the file list view in
// two calls. Run shows the disc information dialog for one disc and hands
// back what the user changed; Store writes it to the library:
//
//     const DiscInfoOutcome outcome = DiscInfoCommand::Run(this, engine, disc);
//     if (outcome.accepted) DiscInfoCommand::Store(engine, disc.discId, disc.labelId, outcome);
//     else outcome.RemoveLabelFiles();   // (Store removes them itself)
//     ... reload; PurgeTagIds() when outcome.tagsDeleted; refresh the tag pane ...
//
// The import uses Run with newDiscForm set, hands the label paths to
// AddDisc and then calls RemoveLabelFiles.
#pragma once
#include "ILibraryEngine.h"

#include <QString>

class QWidget;

// The disc as the view shows it (texts formatted by the view).
struct DiscInfoInput {
    LONG discId = 0;
    QString name;
    QString typeText;
    QString sizeText;
    QString dateText;
    LONG labelId = 0;
    QString tagIds;
    bool alternateRowLabel = false; // the fourth row reads "Date added"
    bool newDiscForm = false;       // a disc being imported: OK reads "Import"
};

// What the dialog handed back.
struct DiscInfoOutcome {
    bool accepted = false;
    QString name;         // blanks at either end removed; never empty when accepted
    bool renamed = false; // the name differs from the one the dialog was given
    QString tagIds;
    QString label32Path;
    QString label128Path;
    QString label360Path;
    QString tempFolder;
    bool tagsAdded = false;
    bool tagsDeleted = false;

    // All three label files were written (a new label was taken).
    bool HasNewLabel() const;
    // Deletes the label files, and their folder when nothing else is left in it.
    void RemoveLabelFiles() const;
};

namespace DiscInfoCommand {

DiscInfoOutcome Run(QWidget* parent, ILibraryEngine* engine, const DiscInfoInput& disc);

// Stores an accepted outcome for the disc: its new name, its tags; with a new label the
// new label set becomes the disc's, its folders' and its files', and the
// replaced set is deleted when it was the disc's own (default sets 1 to 5
// are never deleted). The label files are removed in any case. The first
// failure is returned; nothing after it is attempted.
HRESULT Store(ILibraryEngine* engine, LONG discId, LONG oldLabelId, const DiscInfoOutcome& outcome);

} // namespace DiscInfoCommand
