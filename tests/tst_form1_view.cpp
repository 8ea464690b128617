// 表示 in the main window: the zoom chosen with its keys and kept for the next start, and the
// daily table spread over the window, kept, following the window's size and undone pixel for pixel.
#include "app/form1.h"
#include "app/zoom.h"
#include "gui.h"

#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

using namespace gui;

class TestForm1View : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void zoomKeysStepAndKeepTheChoice_data();
    void zoomKeysStepAndKeepTheChoice();
    void theSpreadTableFillsTheWindowAndComesBackAsDesigned();

private:
    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
};

void TestForm1View::init()
{
    QSettings(QCoreApplication::applicationName(), QCoreApplication::applicationName()).clear();
}

void TestForm1View::cleanup()
{
    StopMainWindow(form);
    QSettings(QCoreApplication::applicationName(), QCoreApplication::applicationName()).clear();
}

void TestForm1View::zoomKeysStepAndKeepTheChoice_data()
{
    QTest::addColumn<int>("saved");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<bool>("toldNextStart");
    QTest::newRow("larger") << 100 << QKeySequence(QKeySequence::ZoomIn) << 125 << true;
    QTest::newRow("larger with =") << 150 << QKeySequence(Qt::CTRL | Qt::Key_Equal) << 175 << true;
    QTest::newRow("largest stays") << 200 << QKeySequence(QKeySequence::ZoomIn) << 200 << false;
    QTest::newRow("smaller") << 175 << QKeySequence(QKeySequence::ZoomOut) << 150 << true;
    QTest::newRow("smallest stays") << 100 << QKeySequence(QKeySequence::ZoomOut) << 100 << false;
    // This run draws at 100 %: back to it needs no new start.
    QTest::newRow("as on screen") << 150 << QKeySequence(Qt::CTRL | Qt::Key_0) << 100 << false;
    QTest::newRow("not a step") << 130 << QKeySequence(QKeySequence::ZoomIn) << 125 << true;
}

void TestForm1View::zoomKeysStepAndKeepTheChoice()
{
    QFETCH(int, saved);
    QFETCH(QKeySequence, keys);
    QFETCH(int, chosen);
    QFETCH(bool, toldNextStart);
    QSettings(QCoreApplication::applicationName(), QCoreApplication::applicationName()).setValue("view/zoom", saved);
    form = StartMainWindow(errors);
    QVERIFY(form);
    ClickCell(form->StringGrid4, 2, 1);
    Press(keys[0].key(), keys[0].keyboardModifiers());
    QCOMPARE(zoom::Saved(), chosen);
    QStringList checked;
    for (QAction* step : form->ZoomSteps1)
        if (step->isChecked())
            checked << step->text();
    QCOMPARE(checked, QStringList { QStringLiteral("%1 %").arg(chosen) });
    auto* box = form->findChild<QMessageBox*>(QStringLiteral("ZoomNextStart"));
    QCOMPARE(box != nullptr, toldNextStart);
    if (box)
        QCOMPARE(box->text(), QStringLiteral("拡大 %1 % は次回の起動から有効になります。").arg(chosen));
    QVERIFY(errors.empty());
}

void TestForm1View::theSpreadTableFillsTheWindowAndComesBackAsDesigned()
{
    form = StartMainWindow(errors);
    QVERIFY(form);
    QWidget* client = form->centralWidget();
    form->resize(1920, 1040);
    QTRY_COMPARE(client->width(), 1920);
    QImage designed = client->grab().toImage();

    form->Wide1->trigger();
    QVERIFY(zoom::SavedWide());
    auto filled = [&] {
        QRect panel = form->Panel6->geometry();
        QRect table = form->StringGrid4->geometry();
        QRect ok(form->Button1->mapTo(client, QPoint(0, 0)), form->Button1->size());
        return panel.right() == client->width() - 1 && table.right() == panel.left()
            && table.bottom() == client->height() - 1 && client->rect().contains(ok);
    };
    QVERIFY(filled());
    int daysShown = 0;
    for (int col = 2; col <= 32; ++col)
        daysShown += form->StringGrid4->viewport()->rect().contains(form->StringGrid4->CellRect(col, 1));
    QVERIFY2(daysShown >= 20, qPrintable(QString::number(daysShown)));

    form->resize(1400, 900);
    QTRY_COMPARE(client->width(), 1400);
    QVERIFY(filled());
    // A window opened later spreads too: the choice is the user's, not the window's.
    {
        TForm1 next;
        QVERIFY(next.Wide1->isChecked());
        next.resize(1400, 900);
        next.show();
        QTRY_COMPARE(next.Panel6->geometry().right(), next.centralWidget()->width() - 1);
    }

    form->resize(1920, 1040);
    QTRY_COMPARE(client->width(), 1920);
    form->Wide1->trigger();
    QVERIFY(!zoom::SavedWide());
    QCOMPARE(client->grab().toImage(), designed);

    // Spread again: a list of the twentieth day opens, takes typing and confirms at the right edge.
    form->Wide1->trigger();
    DoubleClickCell(form->StringGrid4, 21, 1);
    TypeInto(form->StringGrid5, 1, 1, QStringLiteral("980"));
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QCOMPARE(form->StringGrid4->Cell(21, 1), std::string("980"));
    QVERIFY(errors.empty());
}

QTEST_MAIN(TestForm1View)
#include "tst_form1_view.moc"
