#include "CliLibraryCommands.h"

#include "CLibraryHealth.h"
#include "CliContext.h"
#include "ResourceIds.h"
#include "StringResources.h"

namespace CliLibraryCommands {

int Check(CliContext& context, const QStringList& arguments)
{
    const bool full = arguments == QStringList{QStringLiteral("--full")};
    if (!arguments.isEmpty() && !full) return CliContext::UsageError("check", "takes only --full");
    CLibraryHealth& health = context.Health();
    QString finding;
    const HRESULT hr = health.Check(full, &finding);
    const bool damaged = CLibraryHealth::IsDamage(hr);
    if (context.Output().IsJson() && (damaged || SUCCEEDED(hr)))
        context.Output().Write(CliRecord()
                                   .Text("library", health.LibraryPath())
                                   .Text("state", damaged ? QStringLiteral("damaged") : QStringLiteral("sound"))
                                   .Text("finding", finding));
    if (damaged)
        return CliContext::Fail(CLibraryHealth::Format(LoadString(IDS_FMT_LIBRARY_CHECK_FAILED), {health.LibraryPath(), finding}));
    if (FAILED(hr))
        return CliContext::Fail(QStringLiteral("the library %1 cannot be checked (%2)").arg(health.LibraryPath(), CliContext::CodeText(hr)));
    if (!context.Output().IsJson()) CliContext::Print(LoadString(IDS_MSG_LIBRARY_SOUND));
    return CliContext::Success;
}

int Repair(CliContext& context, const QStringList& arguments)
{
    if (!arguments.isEmpty()) return CliContext::UsageError("repair", "takes no arguments");
    QString text;
    const HRESULT hr = context.Health().Repair(&text);
    if (FAILED(hr)) return CliContext::Fail(text + QStringLiteral(" (%1)").arg(CliContext::CodeText(hr)));
    CliContext::Print(text);
    return CliContext::Success;
}

} // namespace CliLibraryCommands
