#include "app/toolpictures.h"

#include "toolkit/controls.h"

#include <QIconEngine>
#include <QPainter>

namespace {

// Drawn on a 16 × 16 grid, scaled to the size asked for. At 16 pixels the strokes fall on whole
// pixels as they always have; larger, they are smoothed.
void DrawPicture(QPainter& painter, ToolPicture picture)
{
    switch (picture) {
    case ToolPicture::Open:
        painter.setPen(QColor(128, 128, 0));
        painter.setBrush(QColor(255, 255, 0));
        painter.drawRect(1, 5, 13, 9);
        painter.drawRect(1, 3, 5, 2);
        break;
    case ToolPicture::Save:
        painter.setPen(Qt::black);
        painter.setBrush(QColor(0, 0, 128));
        painter.drawRect(1, 1, 13, 13);
        painter.setBrush(Qt::white);
        painter.drawRect(4, 2, 7, 5);
        painter.setBrush(QColor(192, 192, 192));
        painter.drawRect(4, 10, 7, 4);
        break;
    case ToolPicture::Graph:
        painter.setPen(Qt::black);
        painter.drawLine(1, 14, 14, 14);
        painter.drawLine(1, 1, 1, 14);
        painter.fillRect(3, 8, 3, 6, Qt::red);
        painter.fillRect(7, 4, 3, 10, QColor(0, 128, 0));
        painter.fillRect(11, 10, 3, 4, Qt::blue);
        break;
    case ToolPicture::Exit:
        painter.setPen(Qt::black);
        painter.setBrush(QColor(128, 64, 0));
        painter.drawRect(3, 1, 8, 13);
        painter.setBrush(Qt::yellow);
        painter.drawEllipse(8, 7, 2, 2);
        painter.setPen(QPen(Qt::red, 2));
        painter.drawLine(11, 8, 15, 8);
        break;
    }
}

class DrawnPicture : public QIconEngine {
public:
    explicit DrawnPicture(ToolPicture picture)
        : picture_(picture)
    {
    }
    QIconEngine* clone() const override { return new DrawnPicture(picture_); }
    QString key() const override { return QStringLiteral("kivelo-drawn"); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        painter->save();
        painter->translate(rect.topLeft());
        if (rect.size() != QSize(16, 16)) {
            painter->setRenderHint(QPainter::Antialiasing);
            painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        }
        DrawPicture(*painter, picture_);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

private:
    ToolPicture picture_;
};

} // namespace

QIcon ToolIcon(ToolPicture picture)
{
    static const char* const ThemeNames[] = { "document-open", "document-save", "x-office-spreadsheet",
        "application-exit" };
    return toolkit::ThemeIcon(ThemeNames[static_cast<int>(picture)], QIcon(new DrawnPicture(picture)));
}
