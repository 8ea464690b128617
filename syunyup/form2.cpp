#include "syunyup/form2.h"

#include "app/editorhistory.h"
#include "app/form1.h"
#include "ledger/tables.h"
#include "toolkit/controls.h"
#include "toolkit/convert.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QPushButton>

EntryBuffer TForm2::EntryText;
GridCell TForm2::EntryCell;

namespace {

using toolkit::Sjis;

// The table rows the grid carries: 0 to 12 shown, 13 to 30 kept in the grid's store unshown.
constexpr int LastRow = 30;
constexpr int TotalRow = 12;

struct FixedText {
    int Col;
    int Row;
    const char* Text;
};

constexpr toolkit::AccessibleName AccessibleNames[] = { { "StringGrid1", "収入の予算" },
    { "Button1", "収入の予算を確定" } };

constexpr FixedText FixedTexts[] = { { 0, 0, "収　入" }, { 0, 1, "給　与" }, { 0, 2, "繰越し" }, { 1, 0, "金　額" },
    { 0, TotalRow, "合　計" } };

// OK's total of the amounts of rows 1 to 11, an empty amount counting 0. Every amount of rows 1 to
// 30 is converted first, in their order, so that an amount that fails (or a total beyond the
// range) stops OK before it writes anything: the table stays as it was and the editor stays open.
int32_t CheckedTotal(const toolkit::StringGrid& grid)
{
    int32_t amounts[LastRow + 1] = {};
    for (int row = 1; row <= LastRow; ++row)
        if (!grid.Cell(1, row).empty())
            amounts[row] = toolkit::IntFromText(grid.Cell(1, row));
    int32_t total = 0;  // rows 13 to 30 are not counted
    for (int row = 1; row < TotalRow; ++row)
        total = toolkit::AddAmounts(total, amounts[row]);
    return total;
}

} // namespace

TForm2::TForm2(TForm1& owner)
    : toolkit::TransientWindow(&owner)
    , StringGrid1(new toolkit::StringGrid(this, "StringGrid1"))
    , Button1(new QPushButton(this))
    , main_(owner)
{
    BuildLayout();
    ConnectHandlers();
    toolkit::Guard([this] { FormCreate(); });  // on a failure the window is shown all the same
    new EditorHistory(*this, *StringGrid1, EntryText, EntryCell);
    main_.AddBudgetNameHelpers(*this, *StringGrid1, EntryText, EntryCell, true, QRect(8, 382, 184, 20));
    toolkit::ShowCentred(*this, QSize(200, 410));
    activateWindow();
}

void TForm2::BuildLayout()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", 12));

    StringGrid1->setGeometry(24, 16, 145, 329);
    StringGrid1->SetShape(2, 13, 1, 1);
    StringGrid1->SetDefaultColWidth(70);
    StringGrid1->SetDefaultRowHeight(24);
    StringGrid1->SetRowHeight(3, 25);
    StringGrid1->setFont(toolkit::LayoutFont("ＭＳ ゴシック", 13));

    toolkit::NameControl(Button1, "Button1");
    Button1->setGeometry(40, 352, 113, 25);
    Button1->setText(QStringLiteral("ＯＫ"));
    toolkit::SetAccessibleNames(*this, AccessibleNames);
}

void TForm2::ConnectHandlers()
{
    using toolkit::Handler;
    using toolkit::StringGrid;
    // The OK is a step of the main window's history; the typing, of the editor's own.
    connect(Button1, &QPushButton::clicked, this, Handler(this, &TForm2::Button1Click, toolkit::Changes("収入予算")));
    connect(StringGrid1, &StringGrid::SelectCell, this, Handler(this, &TForm2::StringGrid1SelectCell, toolkit::Shows));
    connect(StringGrid1, &StringGrid::KeyPress, this, Handler(this, &TForm2::StringGrid1KeyPress, toolkit::Types));
    connect(StringGrid1, &StringGrid::MouseUp, this, Handler(this, &TForm2::StringGrid1MouseUp, toolkit::Shows));
}

void TForm2::FormCreate()
{
    for (const FixedText& fixed : FixedTexts)                         // 1.
        IncomeBudget[fixed.Col][fixed.Row].Assign(Sjis(fixed.Text));
    for (int col = 0; col <= 1; ++col)                                // 2.
        for (int row = 0; row <= LastRow; ++row)
            StringGrid1->SetCell(col, row, IncomeBudget[col][row].Str());
}

void TForm2::Button1Click()
{
    int32_t total = CheckedTotal(*StringGrid1);                       // a failure writes nothing
    for (int col = 0; col <= 1; ++col)                                // 1.
        for (int row = 0; row <= LastRow; ++row)
            IncomeBudget[col][row].Assign(StringGrid1->Cell(col, row));
    std::string totalText = toolkit::TextFromInt(total);              // 2. and 3.
    StringGrid1->SetCell(1, TotalRow, totalText);
    IncomeBudget[1][TotalRow].Assign(totalText);
    main_.LedgerChanged = true;
    main_.RefreshCalculatedBalance(totalText);                        // 4. with the total just made
    close();                                                          // 5.
}

void TForm2::FormDeactivate() { close(); }

void TForm2::close1Click() { close(); }

void TForm2::FormClose() { setAttribute(Qt::WA_DeleteOnClose); }  // the close action: free

void TForm2::StringGrid1SelectCell(int col, int row) { PickEntryCell(EntryText, EntryCell, col, row); }

void TForm2::StringGrid1KeyPress(char key) { TypeEditorKey(*StringGrid1, EntryText, EntryCell, key); }

void TForm2::StringGrid1MouseUp(int x, int y) { PickCellAt(*StringGrid1, EntryText, EntryCell, x, y); }
