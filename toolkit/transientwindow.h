// A window that closes itself: it hands its window's loss of activation and a click on its own
// surface to handlers, and is freed exactly once however many closes are asked for. The budget
// editors are such windows.
#pragma once

#include <QWidget>

namespace toolkit {

class TransientWindow : public QWidget {
    Q_OBJECT
public:
    explicit TransientWindow(QWidget* owner);

protected:
    virtual void FormDeactivate() = 0;  // another window became active
    virtual void close1Click() = 0;     // the window's surface, outside its controls, was clicked
    virtual void FormClose() = 0;       // the window closes; sets the close action

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool closing_ = false;
    bool surfacePressed_ = false;
};

} // namespace toolkit
