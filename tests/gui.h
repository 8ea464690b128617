// What the window tests share: clicks and keys as the user makes them, on the real grids and the
// control that has the focus, and the conversion failure's text as the error box shows it.
#pragma once

#include "toolkit/failure.h"
#include "toolkit/stringgrid.h"
#include "toolkit/text.h"

#include <QApplication>
#include <QTest>
#include <string>

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
// keyboard with an input method delivers them; "\r" is the Enter key.
inline void Type(const QString& text)
{
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused);
    for (QChar character : text) {
        if (character == QLatin1Char('\r'))
            QTest::keyClick(focused, Qt::Key_Return);
        else if (character.unicode() < 0x80)
            QTest::keyClicks(focused, QString(character));
        else
            QTest::sendKeyEvent(QTest::Click, focused, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
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

} // namespace gui
