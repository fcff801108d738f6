// ConfinedFile: the one way a name that comes from outside (a disc's file
// name, which a crafted image can make anything) becomes a file or a path
// of this machine. The name must be one file name: not empty, no slash, no
// zero, not "." or ".."; anything else is refused with a sentence for the
// user, so a name never reaches outside the folder meant for it.
//
// A file is made only in a folder of ours (a real folder, not a link,
// owned by this user, that no one else may write to). The new file is made
// with O_EXCL and O_NOFOLLOW, so a file or link planted under that name is
// never written through, and with mode 0600: nothing from a disc becomes
// executable.
//
//   QString why;
//   ConfinedFile out(folder, name, &why);
//   if (!out.IsOpen()) return Tell(why);
//   out.File().write(data);
#pragma once
#include <QFile>
#include <QString>

class ConfinedFile {
public:
    // True when `name` can stand as one file name in a folder.
    static bool IsOneFileName(const QString& name);
    // The path below `root` of a backslash path from a disc ("\DIR\name"),
    // every part checked as one file name; empty with *why when one is not.
    static QString PathBelow(const QString& root, const QString& backslashPath, QString* why);

    // Makes the new file `name` in `folder`, open for writing (a name longer
    // than a file name here holds is cut at a whole character, its
    // extension kept); not open, with *why (may be null) telling the user
    // what was refused, otherwise.
    ConfinedFile(const QString& folder, const QString& name, QString* why);
    ConfinedFile(const ConfinedFile&) = delete;
    ConfinedFile& operator=(const ConfinedFile&) = delete;

    bool IsOpen() const { return m_file.isOpen(); }
    QFile& File() { return m_file; }
    // Where the file is (empty when none was made).
    const QString& Path() const { return m_path; }
    // Closes the file and removes it (after a failed copy).
    void Discard();

private:
    QFile m_file;
    QString m_path;
};
