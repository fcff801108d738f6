#include "CliContext.h"

#include "CDllCom.h"
#include "CLibraryHealth.h"
#include "LibraryReader.h"
#include "LibraryStatusText.h"

#include <QTextStream>
#include <cstdio>

CliContext::CliContext() = default;

CliContext::~CliContext()
{
    m_pDiscAccess.reset(); // waits for a scan that still writes to the library
    if (m_library) m_library->Uninitialize();
    m_library.Reset();
    m_pHealth.reset();
}

CDllCom& CliContext::LibraryModule()
{
    if (!m_pLibraryModule) m_pLibraryModule = std::make_unique<CDllCom>();
    return *m_pLibraryModule;
}

CLibraryHealth& CliContext::Health()
{
    if (!m_pHealth) m_pHealth = std::make_unique<CLibraryHealth>(LibraryModule());
    return *m_pHealth;
}

int CliContext::LibraryFailure(HRESULT hr)
{
    if (CLibraryHealth::IsDamage(hr)) return Fail(Health().DamageLine());
    return Fail(QStringLiteral("the library cannot be read (%1)").arg(CodeText(hr)));
}

int CliContext::ChangeFailure(HRESULT hr)
{
    const QString why = m_library ? LibraryStatusText::WriteFailure(LibraryStatusText::WriteFailureOf(m_library.Get())) : QString();
    return why.isEmpty() ? LibraryFailure(hr) : Fail(why);
}

CDiscAccess* CliContext::Discs()
{
    if (!m_pDiscAccess) {
        CDiscIdentity::SetTraceStream(nullptr); // standard output carries the command's answer
        m_pDiscAccess = std::make_unique<CDiscAccess>();
    }
    if (FAILED(m_pDiscAccess->InitResult())) {
        Fail(QStringLiteral("the disc engine cannot be loaded (%1)").arg(CodeText(m_pDiscAccess->InitResult())));
        return nullptr;
    }
    return m_pDiscAccess.get();
}

ILibraryEngine* CliContext::Library()
{
    if (m_library) return m_library.Get();
    HRESULT hr = LibraryModule().CreateLibraryEngine(m_library.Put());
    if (SUCCEEDED(hr) && !m_library) hr = E_POINTER;
    if (SUCCEEDED(hr)) hr = m_library->Initialize(0, 1, 0);
    if (FAILED(hr)) {
        m_library.Reset();
        const QString why = LibraryStatusText::OpenFailure(hr);
        if (CLibraryHealth::IsDamage(hr)) LibraryFailure(hr);
        else if (!why.isEmpty()) Fail(why);
        else Fail(QStringLiteral("the library cannot be opened (%1)").arg(CodeText(hr)));
        return nullptr;
    }
    // A library that can only be read still answers every command but
    // import, which says why it cannot add the disc.
    return m_library.Get();
}

int CliContext::FindDisc(const QString& idOrName)
{
    ILibraryEngine* library = Library();
    if (!library) return 0;
    const LibraryReader reader(library);
    QString error;
    const int discId = reader.FindDisc(idOrName, &error);
    if (FAILED(reader.Failure())) LibraryFailure(reader.Failure());
    else if (discId <= 0) Fail(error);
    return FAILED(reader.Failure()) ? 0 : discId;
}

char CliContext::ParseLetter(const QString& text)
{
    QString letter = text.trimmed().toUpper();
    if (letter.endsWith(QLatin1Char('\\')) || letter.endsWith(QLatin1Char('/'))) letter.chop(1);
    if (letter.endsWith(QLatin1Char(':'))) letter.chop(1);
    return letter.size() == 1 && letter[0] >= QLatin1Char('A') && letter[0] <= QLatin1Char('Z') ? letter[0].toLatin1() : 0;
}

bool CliContext::SelectDrive(const QString& letterText)
{
    CDiscAccess* discs = Discs();
    if (!discs) return false;
    const char letter = ParseLetter(letterText);
    const int position = letter ? discs->PositionOfLetter(letter) : -1;
    if (position < 0) {
        Fail(QStringLiteral("there is no drive %1 (see 'albireo-cli drives')").arg(letterText));
        return false;
    }
    const HRESULT hr = discs->SelectDrive(position);
    if (FAILED(hr)) {
        Fail(QStringLiteral("drive %1 cannot be opened (%2)").arg(letterText, CodeText(hr)));
        return false;
    }
    return true;
}

ComPtr<ITrellisImageDrive> CliContext::ImageDrive(const QString& letterText)
{
    ComPtr<ITrellisImageDrive> imageDrive;
    if (!SelectDrive(letterText)) return imageDrive;
    CDiscAccess* discs = Discs();
    const int engineIndex = discs->EngineIndexAt(discs->PositionOfLetter(ParseLetter(letterText)));
    ComPtr<ITrellisDevice> device;
    if (FAILED(discs->Engine()->GetDrive(engineIndex, device.Put())) || !device) return imageDrive;
    if (FAILED(device->QueryInterface(IID_ITrellisImageDrive, imageDrive.PutVoid()))) imageDrive.Reset();
    if (!imageDrive) Fail(QStringLiteral("drive %1 is not an image drive").arg(letterText));
    return imageDrive;
}

int CliContext::Fail(const QString& message)
{
    // Texts of the resource module may span lines; a message here is one.
    const QString line = QString(message).replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "albireo-cli: %s\n", qPrintable(line));
    return Failure;
}

int CliContext::UsageError(const QString& command, const QString& message)
{
    std::fprintf(stderr, "albireo-cli %s: %s\nTry 'albireo-cli %s --help'.\n", qPrintable(command), qPrintable(message),
                 qPrintable(command));
    return Usage;
}

void CliContext::Print(const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

QString CliContext::CodeText(HRESULT hr)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(static_cast<uint32_t>(hr), 8, 16, QLatin1Char('0')).toUpper();
}
