#include "FileChooser.h"

#include "ModalSeam.h"
#include "WinControls.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace FileChooser {

QString StartFolder(QStandardPaths::StandardLocation preferred)
{
    for (const QString& folder : {QStandardPaths::writableLocation(preferred), QDir::homePath()})
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
    return QDir::rootPath();
}

QString ChooseExistingFile(QWidget* parent, const QString& caption, QStandardPaths::StandardLocation preferred,
                           const QString& filter)
{
    QFileDialog chooser(parent, caption, QString(), filter);
    chooser.setDirectory(StartFolder(preferred));
    chooser.setFileMode(QFileDialog::ExistingFile);
    ModalRecord record;
    record.kind = QStringLiteral("QFileDialog");
    record.text = chooser.windowTitle();
    if (ModalSeam::Run(&chooser, record) != IDOK || chooser.selectedFiles().isEmpty()) return {};
    return chooser.selectedFiles().constFirst();
}

} // namespace FileChooser
