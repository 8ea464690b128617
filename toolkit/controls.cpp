#include "toolkit/controls.h"

#include "toolkit/text.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QFocusEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScreen>
#include <QWindow>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cstring>

namespace toolkit {

void NameControl(QWidget* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
}

void SetAccessibleNames(QWidget& window, const AccessibleName* names, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        auto* control = window.findChild<QWidget*>(QString::fromLatin1(names[i].Control));
        Q_ASSERT(control);
        control->setAccessibleName(QString::fromUtf8(names[i].Name));
    }
}

namespace {

// The layout's Japanese families and the installed IPA families that draw them.
constexpr struct {
    const char* Layout;
    const char* Installed;
} FontFamilies[]
    = { { "ＭＳ Ｐゴシック", "IPAPGothic" }, { "ＭＳ ゴシック", "IPAGothic" }, { "ＭＳ Ｐ明朝", "IPAPMincho" } };

} // namespace

QFont LayoutFont(const char* family, int pixelSize, bool bold, bool italic)
{
    // Asked for by the layout's name, a font is found only after Qt has had fontconfig sort every
    // installed font against that name, once for every size and style: the font is asked for by
    // the family that draws it instead.
    QString installed = QString::fromUtf8(family);
    for (const auto& families : FontFamilies)
        if (std::strcmp(families.Layout, family) == 0)
            installed = QString::fromLatin1(families.Installed);
    QFont font(installed);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void RegisterFontSubstitutes()
{
    for (const auto& families : FontFamilies)
        QFont::insertSubstitution(QString::fromUtf8(families.Layout), QString::fromLatin1(families.Installed));
}

namespace {

// Sizes and centres a window so that its frame has the outer size. Under a window manager the
// frame is known only once the window is mapped, and not always by its first exposure: the window
// is placed again whenever it is exposed or moved with a frame other than the one it was placed
// for. A move by the user keeps the frame, so it is left alone.
class OuterPlacement : public QObject {
public:
    OuterPlacement(QWidget& window, QSize outerSize)
        : QObject(&window)
        , window_(window)
        , outerSize_(outerSize)
    {
        window.winId();  // creates the platform window, which knows the frame if anything does
        Place();
        window.windowHandle()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        QEvent::Type type = event->type();
        if ((type == QEvent::Expose || type == QEvent::Move) && window_.windowHandle()->isExposed()
            && window_.windowHandle()->frameMargins() != frame_)
            Place();
        return false;
    }

private:
    void Place()
    {
        frame_ = window_.windowHandle()->frameMargins();
        window_.resize(outerSize_.shrunkBy(frame_));
        QRect screen = window_.screen()->availableGeometry();
        QPoint origin(screen.left() + (screen.width() - outerSize_.width()) / 2,
            screen.top() + (screen.height() - outerSize_.height()) / 2);
        window_.move(origin);
        // The widget takes a move to where it believes it is already for no move at all, and
        // right after the window manager has framed the window that belief can be out of date:
        // the window itself is told where its frame goes.
        window_.windowHandle()->setFramePosition(origin);
    }

    QWidget& window_;
    QSize outerSize_;
    QMargins frame_;
};

// The undo and redo keys, which an edit or the memo would take for its own undo before the window's
// commands see them.
bool IsUndoOrRedoKey(QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)
        || key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
}

} // namespace

void ShowCentred(QWidget& window, QSize outerSize)
{
    new OuterPlacement(window, outerSize);
    window.show();
}

QIcon ThemeIcon(const char* name, const QIcon& fallback)
{
    // Without an icon theme of the desktop's own, Qt looks the name up in hicolor, the theme that
    // applications install their own icons into, not the actions on documents; reading hicolor's
    // index of hundreds of folders costs as much as building the rest of the main window.
    if (QIcon::themeName() == QLatin1String("hicolor"))
        return fallback;
    return QIcon::fromTheme(QString::fromLatin1(name), fallback);
}

Edit::Edit(QWidget* parent, const char* name)
    : QLineEdit(parent)
{
    NameControl(this, name);
}

std::string Edit::Text() const
{
    QString now = text();
    return now == shown_ ? bytes_ : ToSjis(now);
}

void Edit::SetText(const std::string& text)
{
    bytes_ = text;
    shown_ = FromSjis(text);
    setText(shown_);
}

bool Edit::event(QEvent* event)
{
    if (IsUndoOrRedoKey(event))
        return false;
    return QLineEdit::event(event);
}

namespace {

// True, after the bell, when `text` holds a character the ledger cannot store.
bool Refused(const QString& text)
{
    if (HasSjisForm(text))
        return false;
    QApplication::beep();
    return true;
}

// The event as a control may take it: without its commit, after the bell, when the commit holds a
// character the ledger cannot store; the text being composed stays.
template <class Take>
void TakeStorable(const QInputMethodEvent& event, Take take)
{
    QInputMethodEvent storable(event.preeditString(), event.attributes());
    if (!Refused(event.commitString()))
        storable.setCommitString(event.commitString(), event.replacementStart(), event.replacementLength());
    take(&storable);
}

} // namespace

void Edit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste) ? Refused(QGuiApplication::clipboard()->text()) : Refused(event->text()))
        return;
    QLineEdit::keyPressEvent(event);
}

void Edit::inputMethodEvent(QInputMethodEvent* event)
{
    TakeStorable(*event, [this](QInputMethodEvent* storable) { QLineEdit::inputMethodEvent(storable); });
}

void Edit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason)
        emit Exit();
}

Memo::Memo(QWidget* parent, const char* name)
    : QPlainTextEdit(parent)
{
    NameControl(this, name);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setUndoRedoEnabled(false);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!setting_)
            emit Edited();
    });
}

std::string Memo::Text() const
{
    QString now = toPlainText();
    if (now == shown_)
        return bytes_;
    now.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return ToSjis(now);
}

// The caret ends after the text either way. On screen, one replacing edit costs less than half of setPlainText, which
// empties the document first and so has the memo lay out its last lines for the scroll bar
// twice; off screen, setPlainText is the cheaper.
void Memo::SetText(const std::string& text)
{
    bytes_ = text;
    shown_ = FromSjis(text);
    shown_.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextDocument* shownDocument = document();
    QScopedValueRollback<bool> setting(setting_, true);
    if (isVisible()) {
        QTextCursor all(shownDocument);
        all.beginEditBlock();
        all.select(QTextCursor::Document);
        all.insertText(shown_);
        all.endEditBlock();
    } else {
        shownDocument->setPlainText(shown_);
    }
    shown_ = toPlainText();
}

bool Memo::event(QEvent* event)
{
    if (IsUndoOrRedoKey(event))
        return false;
    return QPlainTextEdit::event(event);
}

void Memo::keyPressEvent(QKeyEvent* event)
{
    if (!event->matches(QKeySequence::Paste) && Refused(event->text()))
        return;
    QPlainTextEdit::keyPressEvent(event);
}

void Memo::inputMethodEvent(QInputMethodEvent* event)
{
    TakeStorable(*event, [this](QInputMethodEvent* storable) { QPlainTextEdit::inputMethodEvent(storable); });
}

void Memo::insertFromMimeData(const QMimeData* source)
{
    if (source->hasText() && Refused(source->text()))
        return;
    QPlainTextEdit::insertFromMimeData(source);
}

int Memo::LineCount() const { return document()->blockCount(); }

std::string Memo::Line(int index) const { return ToSjis(document()->findBlockByNumber(index).text()); }

Label::Label(QWidget* parent, const char* name)
    : QLabel(parent)
{
    NameControl(this, name);
}

std::string Label::Text() const { return bytes_; }

void Label::SetText(const std::string& text)
{
    bytes_ = text;
    setText(FromSjis(text));
    sizePending_ = isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide);
    if (!sizePending_)
        adjustSize();
}

void Label::showEvent(QShowEvent* event)
{
    if (sizePending_) {
        sizePending_ = false;
        adjustSize();
    }
    QLabel::showEvent(event);
}

Panel::Panel(QWidget* parent, const char* name)
    : QFrame(parent)
{
    NameControl(this, name);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
    // A panel has its own colour, the button face, whatever its parent's background is.
    SetColor(QApplication::palette().color(QPalette::Button));
}

void Panel::SetCaption(const std::string& caption, Qt::Alignment alignment)
{
    caption_ = caption;
    shown_ = FromSjis(caption);
    alignment_ = alignment;
    update();
}

void Panel::SetColor(const QColor& color)
{
    QPalette colors = palette();
    colors.setColor(QPalette::Window, color);
    setPalette(colors);
}

void Panel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (shown_.isEmpty())
        return;
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    QRect area = contentsRect().adjusted(2, 0, -2, 0);
    painter.drawText(area, int(alignment_ | Qt::AlignVCenter), shown_);
}

} // namespace toolkit
