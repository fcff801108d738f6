#include "CliDriveCommands.h"

#include "CliContext.h"

#include <QFileInfo>

namespace CliDriveCommands {

int Drives(CliContext& context, const QStringList& arguments)
{
    if (!arguments.isEmpty()) return CliContext::UsageError("drives", "takes no arguments");
    CDiscAccess* discs = context.Discs();
    if (!discs) return CliContext::Failure;
    QStringList names;
    discs->GetDriveNames(names);
    for (int position = 0; position < names.size(); ++position) {
        const int index = discs->EngineIndexAt(position);
        ComPtr<ITrellisDevice> device;
        QString state = QStringLiteral("empty");
        if (SUCCEEDED(discs->Engine()->GetDrive(index, device.Put())) && device) {
            LONG present = 0, busy = 0;
            if (SUCCEEDED(device->GetDiscPresence(&present, &busy)))
                state = busy ? QStringLiteral("busy") : present ? QStringLiteral("disc") : QStringLiteral("empty");
        }
        if (!context.Output().Write(
                CliRecord().Text("letter", names[position].left(1)).Text("name", names[position]).Text("state", state)))
            break;
    }
    return CliContext::Success;
}

int Insert(CliContext& context, const QStringList& arguments)
{
    if (arguments.size() != 2) return CliContext::UsageError("insert", "needs a drive letter and an image file");
    const QFileInfo image(arguments[1]);
    if (!image.isFile()) return CliContext::Fail(QStringLiteral("%1: no such image file").arg(arguments[1]));
    const ComPtr<ITrellisImageDrive> drive = context.ImageDrive(arguments[0]);
    if (!drive) return CliContext::Failure;
    const QString path = image.absoluteFilePath();
    const HRESULT hr = drive->InsertImage(reinterpret_cast<const WCHAR*>(path.utf16()));
    WCHAR reason[512] = {};
    const bool explained = FAILED(hr) && drive->GetRefusalReason(reason, 512) == S_OK;
    if (FAILED(hr))
        return CliContext::Fail(QStringLiteral("%1 cannot be put into drive %2: %3 (%4)")
                                    .arg(arguments[1], arguments[0],
                                         explained ? QString::fromUtf16(reason)
                                                   : QStringLiteral("not a disc image this program reads"),
                                         CliContext::CodeText(hr)));
    return CliContext::Success;
}

int Eject(CliContext& context, const QStringList& arguments)
{
    if (arguments.size() != 1) return CliContext::UsageError("eject", "needs a drive letter");
    const ComPtr<ITrellisImageDrive> drive = context.ImageDrive(arguments[0]);
    if (!drive) return CliContext::Failure;
    const HRESULT hr = drive->EjectImage();
    return FAILED(hr) ? CliContext::Fail(QStringLiteral("drive %1 cannot eject (%2)").arg(arguments[0], CliContext::CodeText(hr)))
                      : CliContext::Success;
}

int Identity(CliContext& context, const QStringList& arguments)
{
    if (arguments.size() != 1) return CliContext::UsageError("identity", "needs a drive letter");
    if (!context.SelectDrive(arguments[0])) return CliContext::Failure;
    CDiscAccess* discs = context.Discs();
    char letter = 0;
    discs->GetDriveLetter(&letter);
    char identity[33] = {};
    const HRESULT hr = discs->GetDriveIdentity(identity, discs->EngineIndexAt(discs->PositionOfLetter(letter)));
    if (hr == TRELLIS_E_NO_DISC) return CliContext::Fail(QStringLiteral("there is no disc in drive %1").arg(arguments[0]));
    if (FAILED(hr))
        return CliContext::Fail(QStringLiteral("the disc in drive %1 cannot be identified (%2)").arg(arguments[0], CliContext::CodeText(hr)));
    context.Output().Write(CliRecord().Text("identity", QString::fromLatin1(identity)));
    return CliContext::Success;
}

} // namespace CliDriveCommands
