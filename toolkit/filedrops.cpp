#include "toolkit/filedrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <algorithm>

namespace toolkit {

FileDrops::FileDrops(QWidget& window, const QString& suffix)
    : FileDrops(window, QStringList { suffix }, One)
{
}

FileDrops::FileDrops(QWidget& window, const QStringList& suffixes, Count count)
    : QObject(&window)
    , suffixes_(suffixes)
    , count_(count)
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
        if (FilesOf(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        QStringList fileNames = FilesOf(drop->mimeData());
        if (fileNames.isEmpty())
            return false;
        drop->acceptProposedAction();
        QMetaObject::invokeMethod(
            this,
            [this, fileNames] {
                if (count_ == One)
                    emit Dropped(fileNames.front());
                else
                    emit DroppedFiles(fileNames);
            },
            Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}

QStringList FileDrops::FilesOf(const QMimeData* data) const
{
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || (count_ == One && urls.size() != 1))
        return {};
    QStringList fileNames;
    for (const QUrl& url : urls) {
        QString fileName = url.isLocalFile() ? url.toLocalFile() : QString();
        bool ofTheKind = std::any_of(suffixes_.begin(), suffixes_.end(),
            [&](const QString& suffix) { return fileName.endsWith(suffix, Qt::CaseInsensitive); });
        if (!ofTheKind)
            return {};
        fileNames << fileName;
    }
    return fileNames;
}

} // namespace toolkit
