#include "toolkit/filedrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace toolkit {

FileDrops::FileDrops(QWidget& window, const QString& suffix)
    : QObject(&window)
    , suffix_(suffix)
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
    for (QWidget* control : window.findChildren<QWidget*>())
        if (control->acceptDrops())
            control->installEventFilter(this);
}

bool FileDrops::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (FileOf(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        QString fileName = FileOf(drop->mimeData());
        if (fileName.isEmpty())
            return false;
        drop->acceptProposedAction();
        QMetaObject::invokeMethod(
            this, [this, fileName] { emit Dropped(fileName); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}

QString FileDrops::FileOf(const QMimeData* data) const
{
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return {};
    QString fileName = urls.front().toLocalFile();
    return fileName.endsWith(suffix_, Qt::CaseInsensitive) ? fileName : QString();
}

} // namespace toolkit
