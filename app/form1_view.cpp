// The 表示 menu: 拡大 draws every window of the program larger, in steps from 100 % to 200 %, from
// the next start; 画面に合わせて広げる spreads the daily table over the window at once. Both are
// the user's settings (zoom.h), never the ledger's; printing follows neither.
#include "app/form1.h"

#include "app/namefit.h"
#include "app/widetable.h"
#include "app/zoom.h"
#include "toolkit/text.h"

#include <QActionGroup>
#include <QMenuBar>
#include <QMessageBox>

namespace {

QString StepCaption(int percent) { return QStringLiteral("%1 %").arg(percent); }

} // namespace

void TForm1::BuildViewMenu()
{
    ViewMenu1 = new QMenu(QStringLiteral("表示"), menuBar());
    ViewMenu1->setObjectName(QStringLiteral("ViewMenu1"));
    menuBar()->insertMenu(N4, ViewMenu1);
    Zoom1 = ViewMenu1->addMenu(QStringLiteral("拡大"));
    Zoom1->setObjectName(QStringLiteral("Zoom1"));
    auto* steps = new QActionGroup(Zoom1);
    for (int percent : zoom::Steps) {
        QAction* step = Zoom1->addAction(StepCaption(percent));
        step->setObjectName(QStringLiteral("Zoom%1").arg(percent));
        step->setCheckable(true);
        step->setData(percent);
        steps->addAction(step);
        ZoomSteps1.push_back(step);
    }
    ZoomSteps1.front()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    Zoom1->addSeparator();
    ZoomIn1 = Zoom1->addAction(QStringLiteral("拡大する"));
    ZoomIn1->setObjectName(QStringLiteral("ZoomIn1"));
    ZoomIn1->setShortcuts({ QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal) });
    ZoomOut1 = Zoom1->addAction(QStringLiteral("縮小する"));
    ZoomOut1->setObjectName(QStringLiteral("ZoomOut1"));
    ZoomOut1->setShortcut(QKeySequence::ZoomOut);
    Wide1 = ViewMenu1->addAction(QStringLiteral("画面に合わせて広げる"));
    Wide1->setObjectName(QStringLiteral("Wide1"));
    Wide1->setCheckable(true);
    ShowZoomChoice(zoom::Saved());

    WideTable1 = new WideTable(*centralWidget(), *StringGrid4, *Panel6, *NameBytes1);
    Wide1->setChecked(zoom::SavedWide());
    WideTable1->SetSpread(Wide1->isChecked());
}

void TForm1::ZoomStepClick(QAction* step) { ChooseZoom(step->data().toInt()); }

void TForm1::ZoomIn1Click() { ChooseZoom(zoom::Larger(zoom::Saved())); }

void TForm1::ZoomOut1Click() { ChooseZoom(zoom::Smaller(zoom::Saved())); }

// Qt takes the scale only as the program starts: the choice is kept for the next start, and the
// user is told so in one line whenever it differs from the zoom on screen.
void TForm1::ChooseZoom(int percent)
{
    int before = zoom::Saved();
    zoom::Save(percent);
    ShowZoomChoice(percent);
    if (percent == before || percent == zoom::Running())
        return;
    // Told without waiting for an answer: Ctrl++ pressed again goes on to the next step.
    auto* box = new QMessageBox(QMessageBox::Information, toolkit::FromSjis(toolkit::ApplicationTitle()),
        QStringLiteral("拡大 %1 は次回の起動から有効になります。").arg(StepCaption(percent)), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("ZoomNextStart"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TForm1::ShowZoomChoice(int percent)
{
    for (QAction* step : ZoomSteps1)
        step->setChecked(step->data().toInt() == percent);
    ZoomIn1->setEnabled(percent < zoom::Steps.back());
    ZoomOut1->setEnabled(percent > zoom::Steps.front());
}

void TForm1::Wide1Click()
{
    zoom::SaveWide(Wide1->isChecked());
    WideTable1->SetSpread(Wide1->isChecked());
}
