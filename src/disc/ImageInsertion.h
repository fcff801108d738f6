// ImageInsertion: "Insert image…" in the import's dialogs (choosing the
// drive, waiting for the disc): the user picks a disc image file, it goes
// into an image drive, and a refusal is told in a message box.
#pragma once
#include <QString>

class CDiscAccess;
class QWidget;

namespace ImageInsertion {

// The image file the user picks (starting in the downloads folder when
// there is one); empty when cancelled.
QString ChooseImageFile(QWidget* parent);
// Puts the image into the image drive at `position`; a message over
// `parent` tells why when it is refused. True when it went in.
bool Insert(CDiscAccess& discs, int position, const QString& imagePath, QWidget* parent);

} // namespace ImageInsertion
