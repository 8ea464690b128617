#include "app/form1.h"

#include "app/month.h"
#include "app/recoverykeeper.h"
#include "app/toolpictures.h"
#include "chert/form5.h"
#include "herup/form4.h"
#include "ledger/tables.h"
#include "toolkit/convert.h"
#include "toolkit/failure.h"
#include "toolkit/termination.h"
#include "toolkit/text.h"

#include <QActionGroup>
#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

using toolkit::Sjis;

const std::string LedgerFilter = Sjis("家計簿ファイル(*.ZMR)|*.ZMR");

const QColor Purple(128, 0, 128);
const QColor Green(0, 128, 0);
const QColor Lime(0, 255, 0);
const QColor Yellow(255, 255, 0);
const QColor Maroon(128, 0, 0);
const QColor Aqua(0, 255, 255);
const QColor Blue(0, 0, 255);
const QColor Fuchsia(255, 0, 255);
const QColor Teal(0, 128, 128);

QToolButton* MakeToolButton(QWidget* parent, const char* name, ToolPicture picture, int left)
{
    auto* button = new QToolButton(parent);
    toolkit::NameControl(button, name);
    button->setGeometry(left, 0, 25, 25);
    button->setIcon(ToolIcon(picture));
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    return button;
}

toolkit::Panel* MakeTitlePanel(QWidget* parent, const char* name, const char* caption, const QRect& geometry,
    const QColor& color, const QColor& fontColor)
{
    auto* panel = new toolkit::Panel(parent, name);
    panel->setGeometry(geometry);
    panel->SetColor(color);
    panel->setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", 19, true, true));
    QPalette colors = panel->palette();
    colors.setColor(QPalette::WindowText, fontColor);
    panel->setPalette(colors);
    panel->SetCaption(Sjis(caption));
    return panel;
}

struct GridLayout {
    const char* Name;
    QRect Geometry;
    int Cols;
    int Rows;
    int FixedCols;
    QColor FixedColor;
    QColor FontColor;
    int FontPixels;  // 0: the window font
    bool ScrollBars;
};

toolkit::StringGrid* MakeGrid(QWidget* parent, const GridLayout& layout)
{
    auto* grid = new toolkit::StringGrid(parent, layout.Name);
    grid->setGeometry(layout.Geometry);
    grid->SetShape(layout.Cols, layout.Rows, layout.FixedCols, 1);
    grid->SetDefaultColWidth(70);
    grid->SetDefaultRowHeight(24);
    grid->SetFixedColor(layout.FixedColor);
    grid->SetScrollBarsShown(layout.ScrollBars);
    if (layout.FontPixels > 0) {
        grid->setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", layout.FontPixels));
        QPalette colors = grid->palette();
        colors.setColor(QPalette::WindowText, layout.FontColor);
        grid->setPalette(colors);
    }
    return grid;
}

// The captions FormCreate writes, grid by grid.
struct Caption {
    int Col;
    int Row;
    const char* Text;
};

constexpr Caption StringGrid1Captions[] = { { 0, 1, "収　入" }, { 0, 2, "支　出" }, { 0, 3, "貯蓄予測" },
    { 1, 0, "金　額" } };
constexpr Caption StringGrid2Captions[] = { { 0, 1, "計算残高" }, { 0, 2, "実質残高" }, { 0, 3, "差　額" },
    { 0, 4, "貯　蓄" }, { 1, 0, "金　額" } };
constexpr Caption StringGrid3Captions[] = { { 0, 1, "財　布" }, { 0, 2, "銀　行" }, { 0, 4, "合　計" },
    { 1, 0, "金　額" } };
constexpr Caption StringGrid4Captions[] = { { 0, 0, "項　目" }, { 1, 0, "合　計" }, { 0, 1, "食　費" },
    { 0, 2, "水道･光熱費" }, { 0, 3, "交通通信費" }, { 0, 4, "車関連費" }, { 0, 5, "被服費" }, { 0, 6, "養育･教育費" },
    { 0, 7, "医療･衛生費" }, { 0, 8, "年　金" }, { 0, 9, "　父" }, { 0, 10, "保険料" }, { 0, 11, "税　金" },
    { 0, 12, "日用品" }, { 0, 13, "住居･備品" }, { 0, 14, "交際費･贈答" }, { 0, 15, "教養･娯楽費" },
    { 0, 16, "雑　費" }, { 0, 18, "支出計" }, { 0, 19, "銀行払出し" } };

template <size_t N>
void WriteGridCaptions(toolkit::StringGrid& grid, const Caption (&captions)[N])
{
    for (const Caption& caption : captions)
        grid.SetCell(caption.Col, caption.Row, Sjis(caption.Text));
}

} // namespace

TForm1::TForm1(QWidget* owner)
    : QMainWindow(owner)
    , OpenDialog1(this, toolkit::FileDialog::Kind::Open, LedgerFilter)
    , SaveDialog1(this, toolkit::FileDialog::Kind::Save, LedgerFilter)
{
    BuildLayout();
    BuildNameHelpers();
    BuildMenu();
    BuildEditMenu();
    BuildViewMenu();
    BuildRecentMenu();
    BuildAccessibility();
    ConnectHandlers();
    AcceptLedgerDrops();
    AcceptStatementDrops();
    toolkit::Guard([this] { FormCreate(); });
    WatchForUndo();
    WatchForRecovery();
}

void TForm1::BuildLayout()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kivelo　Ｖｅｒ１．5"));
    resize(529, 430);
    move(268, 113);
    setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", 12));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setAutoFillBackground(true);
    QPalette colors = client->palette();
    colors.setColor(QPalette::Window, Purple);
    client->setPalette(colors);
    setCentralWidget(client);

    Panel1 = new toolkit::Panel(client, "Panel1");
    Panel1->setGeometry(0, 0, 793, 25);
    Panel1->SetColor(Green);
    SpeedButton1 = MakeToolButton(Panel1, "SpeedButton1", ToolPicture::Open, 0);
    SpeedButton2 = MakeToolButton(Panel1, "SpeedButton2", ToolPicture::Save, 24);
    SpeedButton3 = MakeToolButton(Panel1, "SpeedButton3", ToolPicture::Graph, 48);
    BitBtn1 = MakeToolButton(Panel1, "BitBtn1", ToolPicture::Exit, 72);
    BitBtn1->setAutoRaise(false);

    Memo1 = new toolkit::Memo(client, "Memo1");
    Memo1->setGeometry(0, 24, 281, 57);
    Memo1->SetText(Sjis("メモ"));

    Panel5 = new toolkit::Panel(client, "Panel5");
    Panel5->setGeometry(288, 40, 313, 33);
    Panel5->setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", 15));
    QPalette tealText = Panel5->palette();
    tealText.setColor(QPalette::WindowText, Teal);
    Panel5->setPalette(tealText);
    Panel5->SetCaption(Sjis("集計期間　　　　月　　　　日～1ヶ月間"), Qt::AlignLeft);
    Edit1 = new toolkit::Edit(Panel5, "Edit1");
    Edit1->setGeometry(64, 5, 25, 23);
    Edit1->setFont(font());
    Edit2 = new toolkit::Edit(Panel5, "Edit2");
    Edit2->setGeometry(120, 5, 25, 23);
    Edit2->setFont(font());
    Button2 = new QPushButton(QStringLiteral("ＯＫ"), Panel5);
    toolkit::NameControl(Button2, "Button2");
    Button2->setGeometry(240, 5, 65, 25);
    Button2->setFont(font());

    Panel2 = MakeTitlePanel(client, "Panel2", "予算と経過", QRect(0, 80, 145, 25), Lime, Fuchsia);
    StringGrid1 = MakeGrid(client, { "StringGrid1", QRect(0, 104, 145, 105), 2, 4, 1, Lime, Green, 16, true });
    StringGrid1->SetRowHeight(1, 26);
    Panel4 = MakeTitlePanel(client, "Panel4", "手持ち", QRect(0, 216, 145, 25), Yellow, Maroon);
    StringGrid3 = MakeGrid(client, { "StringGrid3", QRect(0, 240, 145, 129), 2, 5, 1, Yellow, {}, 0, false });
    StringGrid3->SetRowHeight(2, 25);
    StringGrid3->SetRowHeight(3, 25);
    Panel3 = MakeTitlePanel(client, "Panel3", "現　状", QRect(0, 376, 145, 25), Aqua, Blue);
    StringGrid2 = MakeGrid(client, { "StringGrid2", QRect(0, 400, 145, 129), 2, 5, 1, Aqua, Blue, 12, true });
    QColor tooltipBackground = QPalette().color(QPalette::ToolTipBase);
    StringGrid4 = MakeGrid(
        client, { "StringGrid4", QRect(152, 80, 457, 449), 33, 20, 2, tooltipBackground, Maroon, 12, true });
    StringGrid4->SetDefaultRowHeight(20);
    StringGrid4->SetRowHeight(12, 21);

    Panel6 = new toolkit::Panel(client, "Panel6");
    Panel6->setGeometry(608, 32, 185, 497);
    Panel6->SetColor(QPalette().color(QPalette::Button));
    StringGrid5 = MakeGrid(Panel6, { "StringGrid5", QRect(8, 8, 169, 457), 2, 18, 0, Aqua, {}, 0, true });
    Button1 = new QPushButton(QStringLiteral("OK"), Panel6);
    toolkit::NameControl(Button1, "Button1");
    Button1->setGeometry(56, 469, 65, 25);
}

void TForm1::BuildMenu()
{
    QMenuBar* MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    N1 = MainMenu1->addMenu(QStringLiteral("ファイル"));
    N1->setObjectName(QStringLiteral("N1"));
    N2 = N1->addAction(QStringLiteral("ファイルを開く"));
    Save1 = N1->addAction(QStringLiteral("上書き保存"));
    SaveAs1 = N1->addAction(QStringLiteral("名前をつけて保存"));
    Versions1 = N1->addAction(QStringLiteral("以前の版…"));
    Import1 = N1->addAction(QStringLiteral("明細を取り込む…"));
    NewMonth1 = N1->addAction(QStringLiteral("翌月の家計簿を作成"));
    YearView1 = N1->addAction(QStringLiteral("年間の推移…"));
    Print1 = N1->addAction(QStringLiteral("印刷…"));
    N3 = N1->addSeparator();
    Exit1 = N1->addAction(QStringLiteral("終了"));
    N4 = MainMenu1->addAction(QStringLiteral("ヘルプ"));
    N2->setObjectName(QStringLiteral("N2"));
    Save1->setObjectName(QStringLiteral("Save1"));
    SaveAs1->setObjectName(QStringLiteral("SaveAs1"));
    Versions1->setObjectName(QStringLiteral("Versions1"));
    Import1->setObjectName(QStringLiteral("Import1"));
    NewMonth1->setObjectName(QStringLiteral("NewMonth1"));
    YearView1->setObjectName(QStringLiteral("YearView1"));
    Print1->setObjectName(QStringLiteral("Print1"));
    N3->setObjectName(QStringLiteral("N3"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    N4->setObjectName(QStringLiteral("N4"));
}

void TForm1::ConnectHandlers()
{
    using toolkit::Changes;
    using toolkit::Handler;
    using toolkit::Shows;
    using toolkit::StringGrid;
    using toolkit::Types;
    // What each handler is to the undo history: a command that makes a step of its own (named, or
    // for the list's OK after the list), keys typed into one place, or looking and picking.
    connect(SpeedButton1, &QToolButton::clicked, this, Handler(this, &TForm1::fileopenclick, Shows));
    connect(SpeedButton2, &QToolButton::clicked, this, Handler(this, &TForm1::filesaveclick, Shows));
    connect(SpeedButton3, &QToolButton::clicked, this, Handler(this, &TForm1::SpeedButton3Click, Shows));
    connect(BitBtn1, &QToolButton::clicked, this, Handler(this, &TForm1::Exit1Click, Shows));
    connect(N2, &QAction::triggered, this, Handler(this, &TForm1::fileopenclick, Shows));
    connect(Save1, &QAction::triggered, this, Handler(this, &TForm1::filesaveclick, Shows));
    connect(SaveAs1, &QAction::triggered, this, Handler(this, &TForm1::SaveAs1Click, Shows));
    connect(Versions1, &QAction::triggered, this, Handler(this, &TForm1::Versions1Click, Shows));
    connect(Import1, &QAction::triggered, this, Handler(this, &TForm1::Import1Click, Changes("明細の取り込み")));
    connect(NewMonth1, &QAction::triggered, this, Handler(this, &TForm1::NewMonth1Click, Changes("翌月の家計簿を作成")));
    connect(YearView1, &QAction::triggered, this, Handler(this, &TForm1::YearView1Click, Shows));
    connect(Print1, &QAction::triggered, this, Handler(this, &TForm1::Print1Click, Shows));
    connect(Exit1, &QAction::triggered, this, Handler(this, &TForm1::Exit1Click, Shows));
    connect(Undo1, &QAction::triggered, this, Handler(this, &TForm1::Undo1Click, Shows));
    connect(Redo1, &QAction::triggered, this, Handler(this, &TForm1::Redo1Click, Shows));
    connect(ZoomSteps1.front()->actionGroup(), &QActionGroup::triggered, this,
        Handler(this, &TForm1::ZoomStepClick, Shows));
    connect(ZoomIn1, &QAction::triggered, this, Handler(this, &TForm1::ZoomIn1Click, Shows));
    connect(ZoomOut1, &QAction::triggered, this, Handler(this, &TForm1::ZoomOut1Click, Shows));
    connect(Wide1, &QAction::triggered, this, Handler(this, &TForm1::Wide1Click, Shows));
    connect(N4, &QAction::triggered, this, Handler(this, &TForm1::N4Click, Shows));
    connect(Button1, &QPushButton::clicked, this, Handler(this, &TForm1::Button1Click, Changes()));
    connect(Button2, &QPushButton::clicked, this, Handler(this, &TForm1::Button2Click, Changes("集計期間")));
    connect(Edit2, &toolkit::Edit::Exit, this, Handler(this, &TForm1::Button2Click, Changes("集計期間")));
    connect(Edit1, &QLineEdit::textEdited, this, Handler(this, &TForm1::Edit1Change, Types));
    connect(Edit2, &QLineEdit::textEdited, this, Handler(this, &TForm1::Edit2Change, Types));
    connect(Memo1, &toolkit::Memo::Edited, this, Handler(this, &TForm1::Memo1Change, Types));

    connect(StringGrid1, &StringGrid::SelectCell, this, Handler(this, &TForm1::StringGrid1SelectCell, Shows));
    connect(StringGrid1, &StringGrid::KeyPress, this, Handler(this, &TForm1::StringGrid1KeyPress, Types));
    connect(StringGrid1, &StringGrid::DblClick, this, Handler(this, &TForm1::StringGrid1dbClick, Shows));
    connect(StringGrid1, &StringGrid::Exit, this, Handler(this, &TForm1::StringGrid1Exit, Shows));
    connect(StringGrid2, &StringGrid::SelectCell, this, Handler(this, &TForm1::StringGrid2SelectCell, Shows));
    connect(StringGrid2, &StringGrid::KeyPress, this, Handler(this, &TForm1::StringGrid2KeyPress, Types));
    connect(StringGrid3, &StringGrid::SelectCell, this, Handler(this, &TForm1::StringGrid3SelectCell, Shows));
    connect(StringGrid3, &StringGrid::KeyPress, this, Handler(this, &TForm1::StringGrid3KeyPress, Types));
    connect(StringGrid3, &StringGrid::MouseUp, this, Handler(this, &TForm1::StringGrid3MouseUp, Shows));
    connect(StringGrid3, &StringGrid::Exit, this, Handler(this, &TForm1::StringGrid3Exit, Changes("手持ちの合計")));
    connect(StringGrid4, &StringGrid::SelectCell, this, Handler(this, &TForm1::StringGrid4SelectCell, Shows));
    connect(StringGrid4, &StringGrid::KeyPress, this, Handler(this, &TForm1::StringGrid4KeyPress, Types));
    connect(StringGrid4, &StringGrid::MouseUp, this, Handler(this, &TForm1::StringGrid4MouseUp, Shows));
    connect(StringGrid4, &StringGrid::DblClick, this, Handler(this, &TForm1::StringGrid4DblClick, Shows));
    connect(StringGrid5, &StringGrid::SelectCell, this, Handler(this, &TForm1::StringGrid5SelectCell, Shows));
    connect(StringGrid5, &StringGrid::KeyPress, this, Handler(this, &TForm1::StringGrid5KeyPress, Types));
    connect(StringGrid5, &StringGrid::MouseUp, this, Handler(this, &TForm1::StringGrid5MouseUp, Shows));
}

void TForm1::FormCreate()
{
    StatusCell = { 1, 1 };                             // 1.
    WriteCaptions();                                   // 2.
    InitDefaultDetailLists();                          // 3.
}

void TForm1::WriteCaptions()
{
    WriteGridCaptions(*StringGrid1, StringGrid1Captions);
    WriteGridCaptions(*StringGrid2, StringGrid2Captions);
    WriteGridCaptions(*StringGrid3, StringGrid3Captions);
    WriteGridCaptions(*StringGrid4, StringGrid4Captions);
}

bool TForm1::event(QEvent* event)
{
    // The activation that an error box gives back when it closes is not the user's: running the
    // step again there would raise the box again, for ever.
    if (event->type() == QEvent::WindowActivate && !toolkit::IsReturnFromErrorBox(this)) {
        activation_.Run(toolkit::Shows, [this] { FormActivate(); });
        // The month's history starts from the month as the user first sees it, its forecast filled
        // in by this first activation and the tables by the analysis window made at start.
        if (!activated_) {
            activated_ = true;
            History->Steps().StartHere();
        }
    }
    return QMainWindow::event(event);
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // Panel1 is aligned to the top: it spans the client area's width.
    Panel1->setGeometry(0, 0, std::max(793, centralWidget()->width()), 25);
}

void TForm1::Exit1Click() { close(); }

void TForm1::N4Click()
{
    new TForm4(this);  // shows itself; frees itself when closed
}

void TForm1::SpeedButton3Click()
{
    HandOverDaySpend();                                // 1., 2.
    new TForm5(this);                                  // 3.
}

// The graph button's steps 1 and 2: DaySpend and PeriodStartText for a new analysis window.
void TForm1::HandOverDaySpend()
{
    for (int col = 2; col <= 32; ++col) {              // 1.
        if (StringGrid4->Cell(col, 18).empty())        // a.
            StringGrid4->SetCell(col, 18, "0");
        CellText total;                                // b. cut to the cell width, then converted
        total.Assign(StringGrid4->Cell(col, 18));
        DaySpend[col] = toolkit::IntFromText(total.View());
    }
    PeriodStartText = Edit2->Text();                   // 2.
}

StartWindows StartProgram(const QString& ledger)
{
    toolkit::SetApplicationTitle(Sjis("家計簿1.5"));
    auto* main = new TForm1;
    auto* help = new TForm4(nullptr, TForm4::Display::Behind);
    auto* analysis = new TForm5(nullptr, TForm5::Display::Behind);
    // The main window appears when the event loop starts, after the two windows that show
    // themselves on creation behind, and so it is on top and the active window.
    main->showMaximized();
    main->activateWindow();
    if (!ledger.isEmpty())
        QTimer::singleShot(0, main, [main, ledger] {
            toolkit::Guard(toolkit::Shows, [&] { main->OpenLedgerFromOutside(ledger); });
        });
    // The months that a Kivelo no longer running left unsaved, offered once the windows are up.
    QTimer::singleShot(0, main, [main] { toolkit::Guard(toolkit::Shows, [main] { main->OfferRecoveries(); }); });
    // A month not saved is kept for the next start rather than asked about: at a signal to end, and
    // when the session asks for the data before it ends the program with the X connection.
    toolkit::OnEndRequested([main] { main->EndOnRequest(); }, [main] { main->Keeper->KeepNow(); });
    return { main, help, analysis };
}
