// What assistive technology and the keyboard reach in the main window: every control's accessible
// name, and keys for the menu's commands. The menu's captions stay exactly as they are (no
// mnemonics are added to them); the keys are shown beside them.
#include "app/form1.h"

#include <QMenuBar>
#include <QShortcut>

namespace {

constexpr toolkit::AccessibleName AccessibleNames[]
    = { { "ClientArea", "家計簿" }, { "MainMenu1", "メニュー" }, { "N1", "ファイル" }, { "EditMenu1", "編集" }, { "ViewMenu1", "表示" }, { "Zoom1", "拡大" }, { "Panel1", "ツールバー" },
          { "SpeedButton1", "ファイルを開く" }, { "SpeedButton2", "上書き保存" }, { "SpeedButton3", "使用状況の分析" },
          { "BitBtn1", "終了" }, { "Memo1", "メモ" }, { "Panel5", "集計期間" }, { "Edit1", "集計期間の月" },
          { "Edit2", "集計期間の開始日" }, { "Button2", "集計期間を設定" }, { "Panel2", "予算と経過の見出し" },
          { "StringGrid1", "予算と経過" }, { "Panel4", "手持ちの見出し" }, { "StringGrid3", "手持ち" },
          { "Panel3", "現状の見出し" }, { "StringGrid2", "現状" }, { "StringGrid4", "日々の支出" },
          { "Panel6", "明細の欄" }, { "StringGrid5", "明細" }, { "Button1", "明細を確定" } };

} // namespace

void TForm1::BuildAccessibility()
{
    toolkit::SetAccessibleNames(*this, AccessibleNames);
    N2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAs1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    Import1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    NewMonth1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    Print1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo1->setShortcuts({ QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) });
    N4->setShortcut(QKeySequence(Qt::Key_F1));
    // Tab goes from the current status up to the budget and progress, then on to the daily table:
    // the three grids share one entry cell, so a Tab keeps typing in the same cell's text.
    setTabOrder(StringGrid2, StringGrid1);
    // F10 opens the first menu, as on the desktops; the arrow keys go on from there along the
    // menu bar and down the menus, Enter chooses and Escape leaves.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] { menuBar()->setActiveAction(N1->menuAction()); });
}
