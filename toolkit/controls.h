// Edits, the memo, labels and panels, with their text as Shift-JIS. A text set by the program
// is handed back byte for byte while the user has not changed it, so that a cut character
// survives a load and a save unchanged. The edits and the memo keep no undo of their own: the
// undo and redo keys reach the window's commands.
#pragma once

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <cstddef>
#include <string>

namespace toolkit {

// Sets the object name to the layout name; tests find controls by it.
void NameControl(QWidget* control, const char* name);

// What assistive technology calls a control: its layout name and a Japanese name that says what
// it is ("StringGrid4", "日々の支出"). Each window keeps one table of them.
struct AccessibleName {
    const char* Control;
    const char* Name;  // UTF-8
};

// Gives the named controls of `window` their accessible names; every entry names a control.
void SetAccessibleNames(QWidget& window, const AccessibleName* names, size_t count);
template <size_t N>
void SetAccessibleNames(QWidget& window, const AccessibleName (&names)[N])
{
    SetAccessibleNames(window, names, N);
}

// A font of the layout: family as the layout names it (substituted at start), pixel size.
QFont LayoutFont(const char* family, int pixelSize, bool bold = false, bool italic = false);

// Registers the Japanese layout families' substitutes once at start.
void RegisterFontSubstitutes();

// Shows a window of the layout's outer size (frame included) centred on its screen: the client
// gets the outer size less the frame that the platform reports for the window.
void ShowCentred(QWidget& window, QSize outerSize);

// The icon of that name in the desktop's icon theme, or `fallback` when the theme has none.
QIcon ThemeIcon(const char* name, const QIcon& fallback);

class Edit : public QLineEdit {
    Q_OBJECT
public:
    Edit(QWidget* parent, const char* name);
    std::string Text() const;
    void SetText(const std::string& text);

signals:
    void Exit();  // the focus moved to another control of the window

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // A character without a Shift-JIS form is refused with the bell, typed, composed or pasted.
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    std::string bytes_;
    QString shown_;
};

// Lines are joined by CR LF, as the ledger file keeps them.
class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    Memo(QWidget* parent, const char* name);
    std::string Text() const;
    void SetText(const std::string& text);
    int LineCount() const;
    std::string Line(int index) const;

signals:
    void Edited();  // the user changed the text; SetText does not count

protected:
    bool event(QEvent* event) override;
    // A character without a Shift-JIS form is refused with the bell, typed, composed or pasted.
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    std::string bytes_;
    QString shown_;
    bool setting_ = false;
};

// Sized to its text. A label hidden by its window takes that size when it is shown, and
// measures its text only then.
class Label : public QLabel {
    Q_OBJECT
public:
    Label(QWidget* parent, const char* name);
    std::string Text() const;
    void SetText(const std::string& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::string bytes_;
    bool sizePending_ = false;
};

// A panel with a raised bevel and a caption, centred or left-aligned.
class Panel : public QFrame {
    Q_OBJECT
public:
    Panel(QWidget* parent, const char* name);
    void SetCaption(const std::string& caption, Qt::Alignment alignment = Qt::AlignCenter);
    std::string Caption() const { return caption_; }
    void SetColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string caption_;
    QString shown_;
    Qt::Alignment alignment_ = Qt::AlignCenter;
};

} // namespace toolkit
