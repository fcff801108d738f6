// FileChooser: the dialog in which the user picks a file to open, run
// through the modal seam (recorded as "QFileDialog"). It opens in the
// preferred standard folder when that folder exists, else in the home
// folder, with an empty name: Enter never names a folder that is not there.
#pragma once
#include <QStandardPaths>
#include <QString>

class QWidget;

namespace FileChooser {

// The folder a chooser opens in: `preferred` when it exists, else the home
// folder, else the root.
QString StartFolder(QStandardPaths::StandardLocation preferred);
// The chosen file's path, or empty when the user cancelled.
QString ChooseExistingFile(QWidget* parent, const QString& caption, QStandardPaths::StandardLocation preferred,
                           const QString& filter);

} // namespace FileChooser
