// What every albireo-cli command shares: the disc access and the library
// engine (created on first use, with the program's settings and library),
// the resource strings, and the exit codes and one-line error reporting.
#pragma once
#include "CDiscAccess.h"
#include "ILibraryEngine.h"

#include <QString>
#include <QStringList>
#include <memory>

class CDllCom;
class CLibraryHealth;

class CliContext {
public:
    enum ExitCode { Success = 0, Failure = 1, Usage = 2, AlreadyCatalogued = 3, Incomplete = 4 };

    CliContext();
    ~CliContext();

    // The disc engine; null (with the error reported) when it cannot be loaded.
    CDiscAccess* Discs();
    // The library engine, initialised; null (with the error reported) on failure.
    ILibraryEngine* Library();
    // Checks and repairs of the library file (works when it cannot be opened).
    CLibraryHealth& Health();
    // Reports a failed library call: a damaged library by the file's place
    // and what to do, anything else with its code; returns Failure.
    int LibraryFailure(HRESULT hr);
    // Selects the drive with that letter ("E", "e:", "E:\"); false with the
    // error reported when there is none.
    bool SelectDrive(const QString& letterText);
    // The image-drive interface of the drive with that letter, or null.
    ComPtr<ITrellisImageDrive> ImageDrive(const QString& letterText);

    // Writes "albireo-cli: <message>" to standard error; returns Failure.
    static int Fail(const QString& message);
    // Writes the usage error and the command's help hint; returns Usage.
    static int UsageError(const QString& command, const QString& message);
    static void Print(const QString& line);
    // A failure code as text for messages: "0x80004005".
    static QString CodeText(HRESULT hr);

private:
    static char ParseLetter(const QString& text);

    std::unique_ptr<CDiscAccess> m_pDiscAccess;
    CDllCom& LibraryModule();

    std::unique_ptr<CDllCom> m_pLibraryModule;
    std::unique_ptr<CLibraryHealth> m_pHealth;
    ComPtr<ILibraryEngine> m_library;
};
