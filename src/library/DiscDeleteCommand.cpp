#include "DiscDeleteCommand.h"

#include "CGButton.h"
#include "CProgressDlg.h"
#include "ComPtr.h"
#include "ResourceIds.h"
#include "StringResources.h"

#include <QEventLoop>
#include <QTimer>
#include <thread>

namespace DiscDeleteCommand {

namespace {

// The bar runs round while the engine works: it cannot tell how far it is.
constexpr int kBusyStepMs = 100;
constexpr int kBusyStep = 4;

} // namespace

HRESULT Run(ILibraryEngine* engine, LONG discId, const QString& discName, QWidget* window)
{
    if (!engine) return E_POINTER;
    const ComPtr<ILibraryEngine> held = ComPtr<ILibraryEngine>::Share(engine);
    QEventLoop waiting;
    HRESULT result = E_FAIL;
    std::thread worker([&] {
        result = held->DeleteDisc(discId, 0);
        QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
    });

    CProgressDlg progress(window);
    progress.Create(LoadString(IDS_PLEASE_WAIT), window);
    progress.SetTitle(discName);
    progress.SetRange(0, 100);
    if (progress.CancelButton()) progress.CancelButton()->hide(); // a removal cannot be stopped halfway
    QTimer busy;
    QObject::connect(&busy, &QTimer::timeout, &progress, [&progress] {
        progress.SetPos((progress.GetPos() + kBusyStep) % 100);
    });
    QTimer::singleShot(kProgressDelayMs, &progress, [&progress, &busy] {
        progress.show();
        busy.start(kBusyStepMs);
    });
    // The window paints and timers run; input waits in the queue.
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join(); // also when the loop ended early because the program exits
    return result;
}

} // namespace DiscDeleteCommand
