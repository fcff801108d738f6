#include "PowerNotices.h"

#include "LogindPowerNotices.h"

#include <QGuiApplication>
#include <QSessionManager>

std::unique_ptr<PowerNotices> PowerNotices::Create()
{
    std::unique_ptr<PowerNotices> notices = LogindPowerNotices::Connect();
    if (!notices) notices = std::make_unique<PowerNotices>();
    // The end of the desktop session asks the program to save its state first.
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QObject::connect(application, &QGuiApplication::commitDataRequest, notices.get(),
                         [n = notices.get()](QSessionManager&) { emit n->ending(); });
    return notices;
}
