// Disc images dropped on the main window from a file manager: one local
// file dropped is taken like an image given to a second start of the
// program (it is put into an image drive and imported); anything else
// (several files, a folder, a link to the web, text) is not accepted, so
// the pointer shows that it cannot be dropped.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QMimeData;
class QWidget;

class ImageDropTarget : public QObject {
public:
    using Take = std::function<void(const QString& path)>;
    // Makes `window` accept drops and gives each dropped file to `take`.
    ImageDropTarget(QWidget* window, Take take);

    // The one local file that `data` carries, or nothing.
    static QString DroppedFile(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Take m_take;
};
