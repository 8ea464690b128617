#include "toolkit/coveredwindow.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <xcb/xcb.h>

namespace toolkit {
namespace {

    // Qt's X11 platform treats a window as exposed from the moment it is mapped, covered or not.
    // This keeps the window's widgets unpainted (their first expose is held back, so Qt keeps their
    // whole area to paint) until the X server's visibility of the window is anything but fully
    // obscured; the server reports it whenever it changes, from the window's mapping on.
    class PaintWhenSeen : public QObject, public QAbstractNativeEventFilter {
    public:
        PaintWhenSeen(QWidget& window, xcb_connection_t* connection)
            : QObject(&window)
            , window_(window)
            , id_(static_cast<xcb_window_t>(window.winId()))
        {
            const auto cookie = xcb_get_window_attributes(connection, id_);
            xcb_get_window_attributes_reply_t* attributes
                = xcb_get_window_attributes_reply(connection, cookie, nullptr);
            if (!attributes)
                return;
            const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_VISIBILITY_CHANGE;
            std::free(attributes);
            xcb_change_window_attributes(connection, id_, XCB_CW_EVENT_MASK, &mask);
            window.windowHandle()->installEventFilter(this);
            QCoreApplication::instance()->installNativeEventFilter(this);
            holding_ = true;
        }

        ~PaintWhenSeen() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

        // The window's first exposes are held back. Should the window be activated without a report of
        // its visibility (a desktop whose compositor never reports one), it is painted then.
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (holding_ && event->type() == QEvent::FocusIn) {
                seen_ = true;
                PaintIfSeen();
            }
            return holding_ && event->type() == QEvent::Expose;
        }

        bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override
        {
            const auto* event = static_cast<const xcb_generic_event_t*>(message);
            if ((event->response_type & 0x7f) != XCB_VISIBILITY_NOTIFY)
                return false;
            const auto* visibility = reinterpret_cast<const xcb_visibility_notify_event_t*>(event);
            if (visibility->window == id_) {
                seen_ = visibility->state != XCB_VISIBILITY_FULLY_OBSCURED;
                if (seen_ && holding_)
                    QMetaObject::invokeMethod(
                        this, [this] { PaintIfSeen(); }, Qt::QueuedConnection);
            }
            return false;
        }

    private:
        // Runs after the X events that had arrived with the report, so that a window covered again
        // straight away (the main window mapped over it) stays unpainted.
        void PaintIfSeen()
        {
            if (!holding_ || !seen_)
                return;
            holding_ = false;
            window_.setAttribute(Qt::WA_Mapped); // what Qt's first expose would have set
            window_.repaint();
            deleteLater();
        }

        QWidget& window_;
        const xcb_window_t id_;
        bool holding_ = false;
        bool seen_ = false;
    };

} // namespace

void ShowMaximizedBehind(QWidget& window)
{
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection() && QGuiApplication::platformName() == QLatin1String("xcb"))
        new PaintWhenSeen(window, x11->connection());
    window.showMaximized();
}

} // namespace toolkit
