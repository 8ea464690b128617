#include "toolkit/transientwindow.h"

#include "toolkit/failure.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>

namespace toolkit {

TransientWindow::TransientWindow(QWidget* owner)
    : QWidget(owner, Qt::Window)
{
}

bool TransientWindow::event(QEvent* event)
{
    // The error box taking the activation is no loss of it: the window stays open for correction.
    if (event->type() == QEvent::WindowDeactivate && !QApplication::activeModalWidget())
        Guard([this] { FormDeactivate(); });
    return QWidget::event(event);
}

void TransientWindow::closeEvent(QCloseEvent* event)
{
    // A close asked for while this one runs or after it, such as the loss of activation that
    // follows OK, changes nothing: the window is freed once.
    if (closing_) {
        event->ignore();
        return;
    }
    closing_ = true;
    Guard([this] { FormClose(); });
    event->accept();
}

// A click on the window's own surface, outside its controls, closes the window. A press on a
// grid's frame reaches the window too, and is no press on the surface.
void TransientWindow::mousePressEvent(QMouseEvent* event)
{
    surfacePressed_ = event->button() == Qt::LeftButton && !childAt(event->position().toPoint());
}

void TransientWindow::mouseReleaseEvent(QMouseEvent* event)
{
    bool clicked = surfacePressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    surfacePressed_ = false;
    if (clicked)
        Guard([this] { close1Click(); });
}

} // namespace toolkit
