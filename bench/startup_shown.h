// Shared by the two start-up programs: ends the process as soon as every top-level window is
// shown and exposed, so that the process's lifetime is the time from start until shown.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <unistd.h>

inline void ExitWhenShown(int expectedWindows)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [expectedWindows] {
        int exposed = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && widget->windowHandle() && widget->windowHandle()->isExposed())
                ++exposed;
        if (exposed >= expectedWindows) {
            QApplication::processEvents();  // the pending paints
            ::_exit(0);
        }
    });
    poll->start(0);
}
