// Program start and the main window's layout, captions, menu and toolbar handlers.
#include "app/form1.h"
#include "chert/form5.h"
#include "herup/form4.h"
#include "ledger/tables.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using toolkit::Sjis;

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startCreatesTheThreeWindowsMaximised();
    void controlsStandWhereTheLayoutPutsThem_data();
    void controlsStandWhereTheLayoutPutsThem();
    void gridsHaveTheirShapes_data();
    void gridsHaveTheirShapes();
    void captionsAreWrittenByteForByte_data();
    void captionsAreWrittenByteForByte();
    void menuHasItsCaptions();
    void toolbarButtonsHavePictures();
    void tablesStartEmptyWithDefaultDetailLists();
    void helpMenuGivesIndependentHelpWindows();
    void graphButtonFillsDaySpendAndOpensAnAnalysisWindow();
    void graphButtonConvertsTheFirstTwelveBytes();
    void failingHandlerShowsTheErrorAndKeepsWhatItDid();
    void exitClosesTheMainWindowWithoutAsking();

private:
    std::vector<std::string> errors_;
};

void TestForm1::initTestCase() { toolkit::RegisterFontSubstitutes(); }

void TestForm1::init()
{
    ResetTables();
    errors_.clear();
    toolkit::SetErrorSinkForTest([this](const std::string& text) { errors_.push_back(text); });
}

void TestForm1::cleanup()
{
    toolkit::SetErrorSinkForTest(nullptr);
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (!window->parentWidget())
            windows << window;
    for (const QPointer<QWidget>& window : windows)
        delete window.data();
}

void TestForm1::startCreatesTheThreeWindowsMaximised()
{
    StartWindows windows = StartProgram();
    QCOMPARE(toolkit::ApplicationTitle(), Sjis("家計簿1.5"));
    QCOMPARE(windows.Main->windowTitle(), QStringLiteral("Kivelo　Ｖｅｒ１．5"));
    QCOMPARE(windows.Help->windowTitle(), QStringLiteral("ヘルプ"));
    QCOMPARE(windows.Analysis->windowTitle(), QStringLiteral("使用状況の分析"));
    for (QWidget* window : { static_cast<QWidget*>(windows.Main), static_cast<QWidget*>(windows.Help),
             static_cast<QWidget*>(windows.Analysis) }) {
        QVERIFY(window->isVisible());
        QVERIFY(window->windowState() & Qt::WindowMaximized);
    }
    // The windows made at start belong to the application, not to the main window.
    QVERIFY(!windows.Help->parent());
    QVERIFY(!windows.Analysis->parent());
    QCOMPARE(windows.Analysis->findChild<QPushButton*>("Button1")->text(), QStringLiteral("閉じる"));
    QCOMPARE(windows.Main->StatusCell, (GridCell { 1, 1 }));
}

void TestForm1::controlsStandWhereTheLayoutPutsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("accessibleName");  // what a screen reader calls the control
    QTest::newRow("Panel1") << "Panel1" << QRect(0, 0, 793, 25) << "ツールバー";
    QTest::newRow("SpeedButton1") << "SpeedButton1" << QRect(0, 0, 25, 25) << "ファイルを開く";
    QTest::newRow("SpeedButton2") << "SpeedButton2" << QRect(24, 0, 25, 25) << "上書き保存";
    QTest::newRow("SpeedButton3") << "SpeedButton3" << QRect(48, 0, 25, 25) << "使用状況の分析";
    QTest::newRow("BitBtn1") << "BitBtn1" << QRect(72, 0, 25, 25) << "終了";
    QTest::newRow("Memo1") << "Memo1" << QRect(0, 24, 281, 57) << "メモ";
    QTest::newRow("Panel5") << "Panel5" << QRect(288, 40, 313, 33) << "集計期間";
    QTest::newRow("Edit1") << "Edit1" << QRect(64, 5, 25, 23) << "集計期間の月";
    QTest::newRow("Edit2") << "Edit2" << QRect(120, 5, 25, 23) << "集計期間の開始日";
    QTest::newRow("Button2") << "Button2" << QRect(240, 5, 65, 25) << "集計期間を設定";
    QTest::newRow("Panel2") << "Panel2" << QRect(0, 80, 145, 25) << "予算と経過の見出し";
    QTest::newRow("StringGrid1") << "StringGrid1" << QRect(0, 104, 145, 105) << "予算と経過";
    QTest::newRow("Panel4") << "Panel4" << QRect(0, 216, 145, 25) << "手持ちの見出し";
    QTest::newRow("StringGrid3") << "StringGrid3" << QRect(0, 240, 145, 129) << "手持ち";
    QTest::newRow("Panel3") << "Panel3" << QRect(0, 376, 145, 25) << "現状の見出し";
    QTest::newRow("StringGrid2") << "StringGrid2" << QRect(0, 400, 145, 129) << "現状";
    QTest::newRow("StringGrid4") << "StringGrid4" << QRect(152, 80, 457, 449) << "日々の支出";
    QTest::newRow("Panel6") << "Panel6" << QRect(608, 32, 185, 497) << "明細の欄";
    QTest::newRow("StringGrid5") << "StringGrid5" << QRect(8, 8, 169, 457) << "明細";
    QTest::newRow("Button1") << "Button1" << QRect(56, 469, 65, 25) << "明細を確定";
}

void TestForm1::controlsStandWhereTheLayoutPutsThem()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, accessibleName);
    TForm1 form;
    form.resize(800, 600);
    QWidget* control = form.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->accessibleName(), accessibleName);
}

void TestForm1::gridsHaveTheirShapes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("shape");
    QTest::addColumn<int>("fixedCols");
    QTest::addColumn<QList<int>>("rowHeights");
    QTest::addColumn<int>("fontPixels");
    QTest::addColumn<QColor>("fixedColor");
    QList<int> grid4(20, 20);
    grid4[12] = 21;
    QTest::newRow("budget and progress") << "StringGrid1" << QSize(2, 4) << 1 << QList<int> { 24, 26, 24, 24 } << 16
                                         << QColor(0, 255, 0);
    QTest::newRow("current status") << "StringGrid2" << QSize(2, 5) << 1 << QList<int>(5, 24) << 12
                                    << QColor(0, 255, 255);
    QTest::newRow("money on hand") << "StringGrid3" << QSize(2, 5) << 1 << QList<int> { 24, 24, 25, 25, 24 } << 12
                                   << QColor(255, 255, 0);
    QTest::newRow("daily expense table") << "StringGrid4" << QSize(33, 20) << 2 << grid4 << 12
                                         << QPalette().color(QPalette::ToolTipBase);
    QTest::newRow("detail list") << "StringGrid5" << QSize(2, 18) << 0 << QList<int>(18, 24) << 12
                                 << QColor(0, 255, 255);
}

void TestForm1::gridsHaveTheirShapes()
{
    QFETCH(QString, name);
    QFETCH(QSize, shape);
    QFETCH(int, fixedCols);
    QFETCH(QList<int>, rowHeights);
    QFETCH(int, fontPixels);
    QFETCH(QColor, fixedColor);
    TForm1 form;
    auto* grid = form.findChild<toolkit::StringGrid*>(name);
    QVERIFY(grid);
    QCOMPARE(QSize(grid->ColCount(), grid->RowCount()), shape);
    QCOMPARE(grid->FixedCols(), fixedCols);
    QCOMPARE(grid->FixedRows(), 1);
    QCOMPARE(grid->ColWidth(0), 70);
    for (int row = 0; row < rowHeights.size(); ++row)
        QCOMPARE(grid->RowHeight(row), rowHeights[row]);
    QCOMPARE(grid->font().pixelSize(), fontPixels);
    if (fixedColor.isValid())
        QCOMPARE(grid->FixedColor(), fixedColor);
}

void TestForm1::captionsAreWrittenByteForByte_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QPoint>("cell");
    QTest::addColumn<QString>("text");
    struct Row {
        const char* Grid;
        int Col;
        int Row;
        const char* Text;
    };
    const Row rows[] = { { "StringGrid1", 0, 1, "収　入" }, { "StringGrid1", 0, 2, "支　出" },
        { "StringGrid1", 0, 3, "貯蓄予測" }, { "StringGrid1", 1, 0, "金　額" }, { "StringGrid1", 0, 0, "" },
        { "StringGrid2", 0, 1, "計算残高" }, { "StringGrid2", 0, 2, "実質残高" }, { "StringGrid2", 0, 3, "差　額" },
        { "StringGrid2", 0, 4, "貯　蓄" }, { "StringGrid2", 1, 0, "金　額" }, { "StringGrid3", 0, 1, "財　布" },
        { "StringGrid3", 0, 2, "銀　行" }, { "StringGrid3", 0, 3, "" }, { "StringGrid3", 0, 4, "合　計" },
        { "StringGrid3", 1, 0, "金　額" }, { "StringGrid4", 0, 0, "項　目" }, { "StringGrid4", 1, 0, "合　計" },
        { "StringGrid4", 0, 1, "食　費" }, { "StringGrid4", 0, 2, "水道･光熱費" }, { "StringGrid4", 0, 3, "交通通信費" },
        { "StringGrid4", 0, 4, "車関連費" }, { "StringGrid4", 0, 5, "被服費" }, { "StringGrid4", 0, 6, "養育･教育費" },
        { "StringGrid4", 0, 7, "医療･衛生費" }, { "StringGrid4", 0, 8, "年　金" }, { "StringGrid4", 0, 9, "　父" },
        { "StringGrid4", 0, 10, "保険料" }, { "StringGrid4", 0, 11, "税　金" }, { "StringGrid4", 0, 12, "日用品" },
        { "StringGrid4", 0, 13, "住居･備品" }, { "StringGrid4", 0, 14, "交際費･贈答" },
        { "StringGrid4", 0, 15, "教養･娯楽費" }, { "StringGrid4", 0, 16, "雑　費" }, { "StringGrid4", 0, 17, "" },
        { "StringGrid4", 0, 18, "支出計" }, { "StringGrid4", 0, 19, "銀行払出し" }, { "StringGrid4", 2, 0, "" } };
    for (const Row& row : rows)
        QTest::addRow("%s (%d, %d)", row.Grid, row.Col, row.Row)
            << QString::fromLatin1(row.Grid) << QPoint(row.Col, row.Row) << QString::fromUtf8(row.Text);
}

void TestForm1::captionsAreWrittenByteForByte()
{
    QFETCH(QString, grid);
    QFETCH(QPoint, cell);
    QFETCH(QString, text);
    TForm1 form;
    auto* control = form.findChild<toolkit::StringGrid*>(grid);
    QCOMPARE(control->Cell(cell.x(), cell.y()), Sjis(text.toStdString()));
}

void TestForm1::menuHasItsCaptions()
{
    TForm1 form;
    QList<QAction*> top = form.menuBar()->actions();
    QCOMPARE(top.size(), 4);
    QCOMPARE(top[0]->text(), QStringLiteral("ファイル"));
    QCOMPARE(top[1]->text(), QStringLiteral("編集"));
    QCOMPARE(top[2]->text(), QStringLiteral("表示"));
    QCOMPARE(top[3]->text(), QStringLiteral("ヘルプ"));
    QVERIFY(!top[3]->menu());
    QStringList file;
    for (QAction* action : form.N1->actions())
        file << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(file, (QStringList { "ファイルを開く", "上書き保存", "名前をつけて保存", "以前の版…", "明細を取り込む…",
                       "翌月の家計簿を作成", "年間の推移…", "印刷…", "-", "終了" }));
    QStringList edit;
    for (QAction* action : form.EditMenu1->actions())
        edit << action->text() + (action->isEnabled() ? "" : " (greyed)");
    QCOMPARE(edit, (QStringList { "元に戻す (greyed)", "やり直し (greyed)" }));
    QStringList view;
    for (QAction* action : form.ViewMenu1->actions())
        view << action->text();
    for (QAction* action : form.Zoom1->actions())
        view << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(view, (QStringList { "拡大", "画面に合わせて広げる", "100 %", "125 %", "150 %", "175 %", "200 %", "-",
                       "拡大する", "縮小する" }));
    QCOMPARE(form.Memo1->Text(), Sjis("メモ"));
    QCOMPARE(form.Panel5->Caption(), Sjis("集計期間　　　　月　　　　日～1ヶ月間"));
    QCOMPARE(form.Panel2->Caption(), Sjis("予算と経過"));
    QCOMPARE(form.Panel4->Caption(), Sjis("手持ち"));
    QCOMPARE(form.Panel3->Caption(), Sjis("現　状"));
    QCOMPARE(form.Button2->text(), QStringLiteral("ＯＫ"));
    QCOMPARE(form.Button1->text(), QStringLiteral("OK"));
}

void TestForm1::toolbarButtonsHavePictures()
{
    TForm1 form;
    for (QToolButton* button : { form.SpeedButton1, form.SpeedButton2, form.SpeedButton3, form.BitBtn1 }) {
        QVERIFY(!button->icon().isNull());
        QVERIFY(!button->icon().pixmap(16, 16).isNull());
    }
}

void TestForm1::tablesStartEmptyWithDefaultDetailLists()
{
    TForm1 form;
    for (auto& column : IncomeBudget)
        for (CellText& cell : column)
            QVERIFY(cell.Empty());
    for (int column = 2; column <= 32; ++column) {
        QCOMPARE(DetailLists[column][1][0][0].Str(), Sjis("食　費"));
        QCOMPARE(DetailLists[column][1][0][1].Str(), Sjis("お　米"));
        QCOMPARE(DetailLists[column][1][0][2].Str(), Sjis("副　菜"));
        QCOMPARE(DetailLists[column][3][0][3].Str(), Sjis("ｲﾝﾀｰﾈｯﾄ"));
        QCOMPARE(DetailLists[column][5][0][2].Str(), Sjis("　靴"));
        QCOMPARE(DetailLists[column][8][0][0].Str(), Sjis("年 金"));
        QCOMPARE(DetailLists[column][16][0][0].Str(), Sjis("贈　答"));
        QCOMPARE(DetailLists[column][17][0][0].Str(), Sjis("雑　費"));
        QCOMPARE(DetailLists[column][17][1][0].Str(), Sjis("金　額"));
        QVERIFY(DetailLists[column][6][0][1].Empty());
        QVERIFY(DetailLists[column][18][0][0].Empty());
        QVERIFY(DetailLists[column][0][0][0].Empty());
        for (int row = 1; row <= 17; ++row)
            for (int item = 1; item <= 18; ++item)
                QVERIFY(DetailLists[column][row][1][item].Empty());
    }
    for (int column = 0; column <= 1; ++column)
        for (int row = 0; row < 20; ++row)
            for (int item = 0; item < 19; ++item)
                QVERIFY(DetailLists[column][row][0][item].Empty() && DetailLists[column][row][1][item].Empty());
}

void TestForm1::helpMenuGivesIndependentHelpWindows()
{
    TForm1 form;
    form.N4->trigger();
    form.N4->trigger();
    QList<TForm4*> helps = form.findChildren<TForm4*>();
    QCOMPARE(helps.size(), 2);
    for (TForm4* help : helps) {
        QVERIFY(help->isVisible());
        QVERIFY(help->windowState() & Qt::WindowMaximized);
        QCOMPARE(help->Memo1->LineCount(), 59);
        QCOMPARE(help->Memo1->Line(0), Sjis("Kiveloのヘルプ"));
        QCOMPARE(help->Memo1->Line(3), Sjis("　　  また、現状の使用状況を確認することにより、使いすぎていないかチェックし、"));
        QCOMPARE(help->Memo1->Line(7), Sjis("      1．メモ欄"));
        QCOMPARE(help->Memo1->Line(28), Sjis("      　　"));
        QCOMPARE(help->Memo1->Line(40), Sjis("      　　　　実質残高＝手持ちの合計（財布＋銀行）"));
        QCOMPARE(help->Memo1->Line(49), Sjis("      バージョン情報　Ｖｅｒ 1.5  1998年12月3日"));
        for (int line = 50; line < 59; ++line)
            QCOMPARE(help->Memo1->Line(line), std::string());
    }
    // Typing into one copy leaves the other as it was; closing one leaves the other open.
    QTest::keyClicks(helps[0]->Memo1, QStringLiteral("xyz"));
    QCOMPARE(helps[1]->Memo1->Line(0), Sjis("Kiveloのヘルプ"));
    QPointer<TForm4> first = helps[0];
    helps[0]->close();
    QTRY_VERIFY(first.isNull());
    QCOMPARE(form.findChildren<TForm4*>().size(), 1);
    QVERIFY(helps[1]->isVisible());
}

void TestForm1::graphButtonFillsDaySpendAndOpensAnAnalysisWindow()
{
    TForm1 form;
    form.StringGrid4->SetCell(4, 18, "250");
    form.Edit2->SetText("25");
    QTest::mouseClick(form.SpeedButton3, Qt::LeftButton);
    QCOMPARE(errors_.size(), size_t(0));
    for (int column = 2; column <= 32; ++column)
        QCOMPARE(form.StringGrid4->Cell(column, 18), std::string(column == 4 ? "250" : "0"));
    QCOMPARE(DaySpend[4], 250);
    QCOMPARE(DaySpend[2], 0);
    QCOMPARE(form.findChildren<TForm5*>().size(), 1);
    QTest::mouseClick(form.SpeedButton3, Qt::LeftButton);
    QCOMPARE(form.findChildren<TForm5*>().size(), 2);
}

void TestForm1::graphButtonConvertsTheFirstTwelveBytes()
{
    TForm1 form;
    form.StringGrid4->SetCell(2, 18, "000000000012x");
    form.SpeedButton3Click();
    QCOMPARE(DaySpend[2], 12);
}

void TestForm1::failingHandlerShowsTheErrorAndKeepsWhatItDid()
{
    TForm1 form;
    PeriodStartText = "7";
    form.StringGrid4->SetCell(5, 18, "x");
    QTest::mouseClick(form.SpeedButton3, Qt::LeftButton);
    QCOMPARE(errors_.size(), size_t(1));
    QCOMPARE(errors_[0], Sjis("'x' は整数ではありません."));
    QCOMPARE(form.StringGrid4->Cell(4, 18), std::string("0"));
    QCOMPARE(form.StringGrid4->Cell(6, 18), std::string());
    QCOMPARE(PeriodStartText, std::string("7"));
    QCOMPARE(form.findChildren<TForm5*>().size(), 0);
    // The program goes on: the next press works.
    form.StringGrid4->SetCell(5, 18, "3");
    QTest::mouseClick(form.SpeedButton3, Qt::LeftButton);
    QCOMPARE(form.findChildren<TForm5*>().size(), 1);
}

void TestForm1::exitClosesTheMainWindowWithoutAsking()
{
    TForm1 form;
    form.show();
    form.StringGrid3->SetCell(1, 1, "1200");
    form.Exit1->trigger();
    QVERIFY(!form.isVisible());
    QVERIFY(errors_.empty());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
