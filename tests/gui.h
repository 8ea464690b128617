// What the window tests share: clicks and keys as the user makes them, on the real grids and the
// control that has the focus, and the conversion failure's text as the error box shows it.
#pragma once

#include "app/form1.h"
#include "ledger/tables.h"
#include "toolkit/dialogs.h"
#include "toolkit/failure.h"
#include "toolkit/stringgrid.h"
#include "toolkit/text.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QTest>
#include <deque>
#include <sys/wait.h>
#include <unistd.h>
#include <memory>
#include <string>
#include <vector>

namespace gui {

inline QPoint CellCentre(toolkit::StringGrid* grid, int col, int row)
{
    QRect rect = grid->CellRect(col, row);
    Q_ASSERT(!rect.isEmpty());
    return rect.center();
}

inline void ClickCell(toolkit::StringGrid* grid, int col, int row, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(grid->viewport(), button, {}, CellCentre(grid, col, row));
}

// What the platform delivers for a double click: press, release, double click, release.
inline void DoubleClickCell(toolkit::StringGrid* grid, int col, int row)
{
    QPoint centre = CellCentre(grid, col, row);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, centre);
}

// Keys go to the control that has the focus, one key event per character with its text, as a
// keyboard with an input method delivers them; "\r", "\b" and "\x1b" are Enter, Backspace and Escape.
inline void Type(const QString& text)
{
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused);
    for (QChar character : text) {
        if (character == QLatin1Char('\r'))
            QTest::keyClick(focused, Qt::Key_Return);
        else if (character == QLatin1Char('\b'))
            QTest::keyClick(focused, Qt::Key_Backspace);
        else if (character == QChar(0x1b))
            QTest::keyClick(focused, Qt::Key_Escape);
        else if (character.unicode() < 0x80)
            QTest::keyClicks(focused, QString(character));
        else
            QTest::sendKeyEvent(QTest::Click, focused, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}

// A click on the cell, then the keys.
inline void TypeInto(toolkit::StringGrid* grid, int col, int row, const QString& text)
{
    ClickCell(grid, col, row);
    Type(text);
}

inline void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused);
    QTest::keyClick(focused, key, modifiers);
}

// The error box's text for a text that is not an integer.
inline std::string NotAnInteger(const std::string& text)
{
    return toolkit::ErrorBoxText("'" + text + toolkit::Sjis("' は整数ではありません"));
}

// Makes `window` the application's active window. Not qWaitForWindowActive: a window counts as
// active there while its owner is.
inline bool Activate(QWidget* window)
{
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

// A fresh main window over empty tables, shown and active, with the error box's texts collected
// in `errors`, as each window test starts.
inline std::unique_ptr<TForm1> StartMainWindow(std::vector<std::string>& errors)
{
    ResetTables();
    errors.clear();
    toolkit::SetErrorSinkForTest([&errors](const std::string& text) { errors.push_back(text); });
    auto form = std::make_unique<TForm1>();
    form->show();
    return Activate(form.get()) ? std::move(form) : nullptr;
}

inline void StopMainWindow(std::unique_ptr<TForm1>& form)
{
    form.reset();
    toolkit::SetErrorSinkForTest({});
}

// A double click on a row of the budget-and-progress grid, as the user opens a budget editor;
// the editor, once it is the active window, or nothing.
template <class Editor>
Editor* OpenEditor(TForm1& form, int row)
{
    DoubleClickCell(form.StringGrid1, 1, row);
    QList<Editor*> editors = form.findChildren<Editor*>();
    if (editors.size() != 1)
        return nullptr;
    Editor* editor = editors.front();
    return QTest::qWaitFor([editor] { return QApplication::activeWindow() == editor; }) ? editor : nullptr;
}

// What Qt does with a drag of local files over `point` of `window` and a drop there: the events go
// to the innermost widget there that takes drops. True when the drop was taken.
inline bool Drop(QWidget& window, QPoint point, const QStringList& fileNames)
{
    QWidget* target = window.childAt(point);
    while (target && !target->acceptDrops())
        target = target->parentWidget();
    if (!target)
        target = &window;
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& fileName : fileNames)
        urls << QUrl::fromLocalFile(fileName);
    data.setUrls(urls);
    data.setText(urls.front().toString());  // as file managers add it
    QPoint at = target->mapFrom(&window, point);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// The number of a process that has ended: a child started, ended and waited for.
inline long GoneProcess()
{
    pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return long(child);
}

// The user's answers, given by the test while it lives: the question about unsaved changes is
// answered `Answer` and counted, each file dialog with the next of `FileNames`, or a cancel when
// none is left.
struct DialogAnswers {
    int Questions = 0;
    toolkit::SaveChangesAnswer Answer = toolkit::SaveChangesAnswer::Cancel;
    std::deque<QString> FileNames;

    DialogAnswers()
    {
        toolkit::SetSaveChangesAnswerForTest([this] {
            ++Questions;
            return Answer;
        });
        toolkit::SetFileDialogAnswerForTest([this](toolkit::FileDialog::Kind, const QString&) {
            QString name = FileNames.empty() ? QString() : FileNames.front();
            if (!FileNames.empty())
                FileNames.pop_front();
            return name;
        });
    }
    ~DialogAnswers()
    {
        toolkit::SetSaveChangesAnswerForTest(nullptr);
        toolkit::SetFileDialogAnswerForTest(nullptr);
    }
    DialogAnswers(const DialogAnswers&) = delete;
    DialogAnswers& operator=(const DialogAnswers&) = delete;
};

} // namespace gui
