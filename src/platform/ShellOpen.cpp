#include "ShellOpen.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

namespace {

constexpr int kQueryMs = 3000;

QString MimeTypeOf(const QUrl& url)
{
    if (!url.isLocalFile()) return QStringLiteral("x-scheme-handler/") + url.scheme();
    return QMimeDatabase().mimeTypeForFile(url.toLocalFile()).name();
}

// The desktop entry xdg-mime names for a MIME type, empty when none.
QString DefaultApplicationOf(const QString& mimeType)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) return {};
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(kQueryMs) || query.exitCode() != 0) return {};
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

bool IsWebPage(const QUrl& url, const QString& mimeType)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https") ||
           mimeType == QLatin1String("text/html");
}

bool HasWebBrowser()
{
    if (!qEnvironmentVariableIsEmpty("BROWSER")) return true;
    for (const char* browser : {"x-www-browser", "sensible-browser", "firefox", "chromium", "google-chrome"})
        if (!QStandardPaths::findExecutable(QString::fromLatin1(browser)).isEmpty()) return true;
    return false;
}

} // namespace

namespace ShellOpen {

bool HasApplicationFor(const QUrl& url)
{
    const QString mimeType = MimeTypeOf(url);
    if (!DefaultApplicationOf(mimeType).isEmpty()) return true;
    return IsWebPage(url, mimeType) && HasWebBrowser();
}

bool Open(const QUrl& url) { return HasApplicationFor(url) && QDesktopServices::openUrl(url); }

} // namespace ShellOpen
