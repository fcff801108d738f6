// The image drives among the drives an import lists, and putting a disc
// image into one of them: from the drive dialog's "Insert image" button and
// for an image the desktop hands the program ("Open with", a path on the
// command line).
#pragma once
#include "ComPtr.h"
#include "TrellisInterfaces.h"

#include <QString>

class CDiscAccess;

class ImageDriveSlots {
public:
    explicit ImageDriveSlots(CDiscAccess& discs) : m_discs(discs) {}

    // The image-drive interface of the drive at a list position; null for a
    // physical drive.
    ComPtr<ITrellisImageDrive> At(int position) const;
    bool IsImageDrive(int position) const { return bool(At(position)); }
    // The image the drive at the position holds; "" when it holds none.
    QString ImageAt(int position) const;
    // Where an image goes: the image drive that holds it already, else an
    // empty one, else the first image drive (its image is taken out; the
    // file stays where it is). -1 when there is no image drive.
    int ChooseFor(const QString& imagePath) const;
    // Puts the image into the drive at the position. On failure *reason
    // tells why in words (the engine's reason when it gave one).
    HRESULT Insert(int position, const QString& imagePath, QString* reason) const;

    // The message that tells why an image was refused (the engine's reason,
    // else that the file is no disc image the program reads).
    static QString RefusalMessage(const QString& imagePath, const QString& reason);
    // The name patterns of the image files the disc engine reads, for file
    // dialogs: "*.iso *.img ...".
    static QString FilePatterns();

private:
    CDiscAccess& m_discs;
};
