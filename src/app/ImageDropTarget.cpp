#include "ImageDropTarget.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

ImageDropTarget::ImageDropTarget(QWidget* window, Take take) : QObject(window), m_take(std::move(take))
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

QString ImageDropTarget::DroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
    const QFileInfo file(urls.front().toLocalFile());
    return file.isFile() ? file.absoluteFilePath() : QString();
}

bool ImageDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DroppedFile(drag->mimeData()).isEmpty()) drag->ignore();
        else drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = DroppedFile(drop->mimeData());
        if (path.isEmpty()) return true;
        drop->acceptProposedAction();
        m_take(path);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
