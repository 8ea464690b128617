#include "app/namefit.h"

#include "ledger/tables.h"
#include "toolkit/controls.h"
#include "toolkit/text.h"

#include <QApplication>

namespace {

const QString Normal = QStringLiteral("QLabel { color: black; }");
const QString Warning = QStringLiteral("QLabel { color: red; }");

} // namespace

NameFit::NameFit(QWidget* parent, const char* name, toolkit::StringGrid& grid, NameCell nameCell)
    : QLabel(parent)
    , grid_(grid)
    , nameCell_(std::move(nameCell))
{
    toolkit::NameControl(this, name);
    setAccessibleName(QStringLiteral("名前のバイト数"));
    setAutoFillBackground(true);
    setIndent(4);
    hide();
    // After the window's own handlers have typed the key or moved the entry cell.
    connect(&grid, &toolkit::StringGrid::KeyPress, this, &NameFit::Refresh, Qt::QueuedConnection);
    connect(&grid, &toolkit::StringGrid::SelectCell, this, &NameFit::Refresh, Qt::QueuedConnection);
    connect(&grid, &toolkit::StringGrid::MouseUp, this, &NameFit::Refresh, Qt::QueuedConnection);
    connect(&grid, &toolkit::StringGrid::Refused, this, &NameFit::TellRefused);
    connect(qApp, &QApplication::focusChanged, this, &NameFit::Refresh, Qt::QueuedConnection);
}

void NameFit::Refresh()
{
    std::optional<std::string> name = grid_.hasFocus() ? nameCell_() : std::nullopt;
    if (!name) {
        hide();
        return;
    }
    QString count = QStringLiteral("%1 / %2 バイト").arg(name->size()).arg(CellText::Capacity);
    if (name->size() <= size_t(CellText::Capacity)) {
        setStyleSheet(Normal);
        setText(count);
    } else {
        CellText kept;
        kept.Assign(*name);
        setStyleSheet(Warning);
        setText(count + QStringLiteral("　保存:「%1」").arg(toolkit::FromSjis(kept.View())));
    }
    show();
}

void NameFit::TellRefused()
{
    setStyleSheet(Warning);
    setText(QStringLiteral("この文字は保存できません"));
    show();
}
