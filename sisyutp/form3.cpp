#include "sisyutp/form3.h"

#include "app/editorhistory.h"
#include "app/form1.h"
#include "ledger/tables.h"
#include "toolkit/controls.h"
#include "toolkit/convert.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QPushButton>

EntryBuffer TForm3::EntryText;
GridCell TForm3::EntryCell;

namespace {

using toolkit::IntFromText;
using toolkit::Sjis;
using toolkit::TextFromInt;

// Rows 1 to 17 are the categories; row 19 is neither read nor written.
constexpr int LastCategory = 17;
constexpr int TotalRow = 18;

struct FixedText {
    int Col;
    int Row;
    const char* Text;
};

constexpr FixedText FixedTexts[] = { { 1, 0, "予　算" }, { 0, 0, "支　出" }, { 0, 1, "食　費" },
    { 0, 2, "水道･光熱費" }, { 0, 3, "交通通信費" }, { 0, 4, "車関連費" }, { 0, 5, "被服費" }, { 0, 6, "養育･教育費" },
    { 0, 7, "医療･衛生費" }, { 0, 8, "年　金" }, { 0, 9, "　父" }, { 0, 10, "保険料" }, { 0, 11, "税　金" },
    { 0, 12, "日用品" }, { 0, 13, "住居･備品" }, { 0, 14, "交際費･贈答" }, { 0, 15, "教養･娯楽費" },
    { 0, 16, "雑　費" }, { 0, TotalRow, "合　計" } };

constexpr toolkit::AccessibleName AccessibleNames[] = { { "StringGrid1", "支出の予算" },
    { "Button1", "支出の予算を確定" } };

enum Column { Name = 0, Budget = 1, Used = 2, Remaining = 3 };

int32_t Value(const toolkit::StringGrid& grid, int col, int row) { return IntFromText(grid.Cell(col, row)); }

// OK's total of the budgets of rows 1 to 17, an empty budget counting 0. Every budget of rows 1 to
// 18 is converted first, in their order, so that a budget that fails (or a total beyond the range)
// stops OK before it writes anything: the table stays as it was and the editor stays open.
int32_t CheckedTotal(const toolkit::StringGrid& grid)
{
    int32_t budgets[TotalRow + 1] = {};
    for (int row = 1; row <= TotalRow; ++row)
        if (!grid.Cell(Budget, row).empty())
            budgets[row] = Value(grid, Budget, row);
    int32_t total = 0;  // row 18 is not counted
    for (int row = 1; row <= LastCategory; ++row)
        total = toolkit::AddAmounts(total, budgets[row]);
    return total;
}

} // namespace

TForm3::TForm3(TForm1& owner)
    : toolkit::TransientWindow(&owner)
    , StringGrid1(new toolkit::StringGrid(this, "StringGrid1"))
    , Button1(new QPushButton(this))
    , main_(owner)
{
    BuildLayout();
    ConnectHandlers();
    toolkit::Guard([this] { FormCreate(); });  // on a failure the window is shown all the same
    new EditorHistory(*this, *StringGrid1, EntryText, EntryCell);
    main_.AddBudgetNameHelpers(*this, *StringGrid1, EntryText, EntryCell, false, QRect(24, 542, 305, 20));
    toolkit::ShowCentred(*this, QSize(353, 568));
    activateWindow();
}

void TForm3::BuildLayout()
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Form3"));
    setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", 12));

    StringGrid1->setGeometry(24, 0, 305, 505);
    StringGrid1->SetShape(4, 20, 1, 1);
    StringGrid1->SetDefaultColWidth(70);
    StringGrid1->SetDefaultRowHeight(24);
    StringGrid1->SetRowHeight(4, 25);
    StringGrid1->setFont(toolkit::LayoutFont("ＭＳ ゴシック", 13));

    toolkit::NameControl(Button1, "Button1");
    Button1->setGeometry(24, 512, 121, 25);
    Button1->setText(QStringLiteral("Ｏ　Ｋ"));
    toolkit::SetAccessibleNames(*this, AccessibleNames);
}

void TForm3::ConnectHandlers()
{
    using toolkit::Handler;
    using toolkit::StringGrid;
    // The OK is a step of the main window's history; the typing, of the editor's own.
    connect(Button1, &QPushButton::clicked, this, Handler(this, &TForm3::Button1Click, toolkit::Changes("支出予算")));
    connect(StringGrid1, &StringGrid::SelectCell, this, Handler(this, &TForm3::StringGrid1SelectCell, toolkit::Shows));
    connect(StringGrid1, &StringGrid::KeyPress, this, Handler(this, &TForm3::StringGrid1KeyPress, toolkit::Types));
    connect(StringGrid1, &StringGrid::MouseUp, this, Handler(this, &TForm3::StringGrid1MouseUp, toolkit::Shows));
}

void TForm3::FormCreate()
{
    StringGrid1->SetCell(Used, 0, Sjis("使用済金"));                        // 1.
    StringGrid1->SetCell(Remaining, 0, Sjis("使用予定金"));
    for (const FixedText& fixed : FixedTexts)                                 // 2.
        ExpenseBudget[fixed.Col][fixed.Row].Assign(Sjis(fixed.Text));
    for (int col = Name; col <= Budget; ++col)                                // 3.
        for (int row = 0; row <= TotalRow; ++row)
            StringGrid1->SetCell(col, row, ExpenseBudget[col][row].Str());
    int32_t budgetTotal = 0;                                                  // 4.
    for (int row = 1; row <= LastCategory; ++row)
        if (!StringGrid1->Cell(Budget, row).empty())
            budgetTotal = toolkit::AddAmounts(budgetTotal, Value(*StringGrid1, Budget, row));
    StringGrid1->SetCell(Budget, TotalRow, TextFromInt(budgetTotal));
    for (int row = 1; row <= TotalRow; ++row)                                 // 5.
        StringGrid1->SetCell(Used, row, DailyTable[1][row].Str());
    for (int row = 1; row <= LastCategory; ++row) {                           // 6. budgeted rows only
        if (StringGrid1->Cell(Budget, row).empty())
            continue;
        if (StringGrid1->Cell(Used, row).empty())
            StringGrid1->SetCell(Used, row, "0");
        int32_t budget = Value(*StringGrid1, Budget, row);
        int32_t used = Value(*StringGrid1, Used, row);
        StringGrid1->SetCell(Remaining, row, TextFromInt(toolkit::SubtractAmounts(budget, used)));
    }
    int32_t remainingTotal = 0;                                               // 7. overspending counts 0
    for (int row = 1; row <= LastCategory; ++row)
        if (!StringGrid1->Cell(Remaining, row).empty())
            remainingTotal = toolkit::AddAmounts(remainingTotal, std::max(0, Value(*StringGrid1, Remaining, row)));
    StringGrid1->SetCell(Remaining, TotalRow, TextFromInt(remainingTotal));
    if (!StringGrid1->Cell(Used, TotalRow).empty())                           // 8.
        ProjectedSpending = toolkit::AddAmounts(remainingTotal, Value(*StringGrid1, Used, TotalRow));
}

void TForm3::Button1Click()
{
    int32_t total = CheckedTotal(*StringGrid1);                               // a failure writes nothing
    for (int col = Name; col <= Budget; ++col)                                // 1.
        for (int row = 0; row <= TotalRow; ++row)
            ExpenseBudget[col][row].Assign(StringGrid1->Cell(col, row));
    std::string totalText = TextFromInt(total);                               // 2. and 3.
    StringGrid1->SetCell(Budget, TotalRow, totalText);
    ExpenseBudget[Budget][TotalRow].Assign(totalText);
    main_.LedgerChanged = true;
    close();                                                                  // 4.
}

void TForm3::FormDeactivate() { close(); }

void TForm3::close1Click() { close(); }

void TForm3::FormClose() { setAttribute(Qt::WA_DeleteOnClose); }  // the close action: free

void TForm3::StringGrid1SelectCell(int col, int row) { PickEntryCell(EntryText, EntryCell, col, row); }

void TForm3::StringGrid1KeyPress(char key) { TypeEditorKey(*StringGrid1, EntryText, EntryCell, key); }

void TForm3::StringGrid1MouseUp(int x, int y) { PickCellAt(*StringGrid1, EntryText, EntryCell, x, y); }
