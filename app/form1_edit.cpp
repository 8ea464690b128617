// The 編集 menu: 元に戻す takes back the last step of the month, やり直し does again the step taken
// back last, each named after its step. The steps are kept by the month's history (month.h).
#include "app/form1.h"

#include "app/month.h"

#include <QMenuBar>

namespace {

// Sets the command's caption and whether it can be chosen; a caption that stays is not set again.
void ShowCommand(QAction* command, const QString& caption, const QString& step)
{
    QString text = step.isEmpty() ? caption : caption + QStringLiteral(": ") + step;
    if (command->text() != text)
        command->setText(text);
    command->setEnabled(!step.isEmpty());
}

} // namespace

void TForm1::BuildEditMenu()
{
    EditMenu1 = new QMenu(QStringLiteral("編集"), menuBar());
    EditMenu1->setObjectName(QStringLiteral("EditMenu1"));
    menuBar()->insertMenu(N4, EditMenu1);
    Undo1 = EditMenu1->addAction(QStringLiteral("元に戻す"));
    Redo1 = EditMenu1->addAction(QStringLiteral("やり直し"));
    Undo1->setObjectName(QStringLiteral("Undo1"));
    Redo1->setObjectName(QStringLiteral("Redo1"));
}

// The history starts from the month as the window's creation leaves it.
void TForm1::WatchForUndo()
{
    History = new MonthHistory(*this);
    History->Steps().OnChanged([this] { ShowUndoNames(); });
    ShowUndoNames();
}

void TForm1::Undo1Click()
{
    if (History->Steps().Undo())
        LedgerChanged = !History->Steps().AtSaved();
}

void TForm1::Redo1Click()
{
    if (History->Steps().Redo())
        LedgerChanged = !History->Steps().AtSaved();
}

void TForm1::ShowUndoNames()
{
    ShowCommand(Undo1, QStringLiteral("元に戻す"), History->Steps().UndoName());
    ShowCommand(Redo1, QStringLiteral("やり直し"), History->Steps().RedoName());
}
