// What every albireo-cli command shares: the disc access and the library
// engine (created on first use, with the program's settings and library),
// the resource strings, and the exit codes and one-line error reporting.
#pragma once
#include "CDiscAccess.h"
#include "CliOutput.h"
#include "ILibraryEngine.h"

#include <QString>
#include <QStringList>
#include <memory>

class CDllCom;
class CLibraryHealth;

class CliContext {
public:
    enum ExitCode { Success = 0, Failure = 1, Usage = 2, AlreadyCatalogued = 3, Incomplete = 4, NotAllCatalogued = 5 };

    CliContext();
    ~CliContext();

    // Where the command's records go: tab-separated, or JSON Lines after --json.
    CliOutput& Output() { return m_output; }
    void SetJson(bool json) { m_output = CliOutput(json); }
    // The disc a DISC argument names ("#id" or a name); 0 with the error
    // reported when there is none, the name is ambiguous or the library
    // cannot be read.
    int FindDisc(const QString& idOrName);

    // The disc engine; null (with the error reported) when it cannot be loaded.
    CDiscAccess* Discs();
    // The library engine, initialised; null (with the error reported) on failure.
    ILibraryEngine* Library();
    // Checks and repairs of the library file (works when it cannot be opened).
    CLibraryHealth& Health();
    // Reports a failed library call: a damaged library by the file's place
    // and what to do, anything else with its code; returns Failure.
    int LibraryFailure(HRESULT hr);
    // Reports a change the library refused: why it cannot be written (a
    // full disk, a read-only file), else as LibraryFailure.
    int ChangeFailure(HRESULT hr);
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
    CliOutput m_output{false};
};
