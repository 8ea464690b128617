#include "toolkit/coveredwindow.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <set>
#include <xcb/xcb.h>

namespace toolkit {
namespace {

    // Qt's X11 platform treats a window as exposed from the moment it is mapped, covered or not.
    // This keeps the window's widgets unpainted (their first expose is held back, so Qt keeps their
    // whole area to paint) until the X server's visibility of the window is anything but fully
    // obscured; the server reports it whenever it changes, from the window's mapping on.
    //
    // The window manager maps the windows shown at start one after the other, tens of
    // milliseconds apart, so a window shown behind is reported visible until the next one covers
    // it. A report counts only once every other window of the program that is shown, and not held
    // back itself, has appeared (had an expose): the server reports a covering before it exposes
    // the window that covers.
    class PaintWhenSeen : public QObject, public QAbstractNativeEventFilter {
    public:
        PaintWhenSeen(QWidget& window, const std::vector<QWidget*>& shownWhenSeen, xcb_connection_t* connection)
            : QObject(&window)
            , window_(window)
            , shownWhenSeen_(shownWhenSeen)
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
            for (QWidget* other : QApplication::topLevelWidgets())
                if (other->windowHandle() && other->windowHandle()->isExposed())
                    appeared_.insert(static_cast<xcb_window_t>(other->internalWinId()));
            window.windowHandle()->installEventFilter(this);
            QCoreApplication::instance()->installNativeEventFilter(this);
            holding_ = true;
        }

        bool Holding() const { return holding_; }

        ~PaintWhenSeen() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

        // The window's first exposes are held back. Should the window be activated without a report of
        // its visibility (a desktop whose compositor never reports one), it is painted then.
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (holding_ && event->type() == QEvent::FocusIn)
                Paint();
            return holding_ && event->type() == QEvent::Expose;
        }

        bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override
        {
            const auto* event = static_cast<const xcb_generic_event_t*>(message);
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_VISIBILITY_NOTIFY) {
                const auto* visibility = reinterpret_cast<const xcb_visibility_notify_event_t*>(event);
                if (visibility->window == id_) {
                    seen_ = visibility->state != XCB_VISIBILITY_FULLY_OBSCURED;
                    ConsiderPainting();
                }
            } else if (type == XCB_EXPOSE) {
                const xcb_window_t exposed = reinterpret_cast<const xcb_expose_event_t*>(event)->window;
                if (exposed != id_ && appeared_.insert(exposed).second)
                    ConsiderPainting();
            }
            return false;
        }

    private:
        void ConsiderPainting()
        {
            if (seen_ && holding_)
                QMetaObject::invokeMethod(
                    this, [this] { PaintIfSeen(); }, Qt::QueuedConnection);
        }

        // Runs after the X events that had arrived with the report, so that a window covered again
        // straight away (the main window mapped over it) stays unpainted.
        void PaintIfSeen()
        {
            if (seen_ && !OthersYetToAppear())
                Paint();
        }

        bool OthersYetToAppear() const
        {
            for (QWidget* other : QApplication::topLevelWidgets()) {
                if (other == &window_ || !other->isVisible() || !other->internalWinId())
                    continue;
                auto* hold = other->findChild<PaintWhenSeen*>(QString(), Qt::FindDirectChildrenOnly);
                if (hold && hold->holding_)
                    continue;
                if (!appeared_.count(static_cast<xcb_window_t>(other->internalWinId())))
                    return true;
            }
            return false;
        }

        void Paint()
        {
            if (!holding_)
                return;
            holding_ = false;
            for (QWidget* child : shownWhenSeen_)
                child->show();
            window_.setAttribute(Qt::WA_Mapped); // what Qt's first expose would have set
            window_.repaint();
            deleteLater();
        }

        QWidget& window_;
        const std::vector<QWidget*> shownWhenSeen_;
        const xcb_window_t id_;
        std::set<xcb_window_t> appeared_;  // the X windows that have had an expose
        bool holding_ = false;
        bool seen_ = false;
    };

    // Leaves the window's painting to the X server's first report of it as visible; false where
    // there is no such report to wait for.
    bool HoldUntilSeen(QWidget& window, const std::vector<QWidget*>& shownWhenSeen)
    {
        auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11 || !x11->connection() || QGuiApplication::platformName() != QLatin1String("xcb"))
            return false;
        auto* hold = new PaintWhenSeen(window, shownWhenSeen, x11->connection());
        if (hold->Holding())
            return true;
        delete hold;
        return false;
    }

} // namespace

void ShowMaximizedBehind(QWidget& window, const std::vector<QWidget*>& shownWhenSeen)
{
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    const bool held = HoldUntilSeen(window, shownWhenSeen);
    for (QWidget* child : shownWhenSeen)
        child->setVisible(!held);
    window.showMaximized();
}

} // namespace toolkit
