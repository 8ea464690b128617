// The daily expense table and its detail lists: a double click on a cell of StringGrid4 opens its
// list in StringGrid5; OK books the bank items, stores the list, sums it into its cell and
// recomputes the table's totals and its copy in DailyTable. A list typed into is never dropped
// unconfirmed: what would replace it or save without it confirms it first.
#include "app/form1.h"

#include "ledger/tables.h"
#include "toolkit/convert.h"
#include "toolkit/text.h"

#include <QtGlobal>
#include <optional>

namespace {

constexpr int ListColumns = 2;
constexpr int ListRows = 19;     // rows 0 to 18; the grid shows 0 to 17 and carries 18
constexpr int FirstItemRow = 1;
constexpr int LastItemRow = 17;  // row 18 is a spare slot, never summed
constexpr int LastBankRow = 19;  // rows 18 and 19 are not shown; the booking looks at them all the same
constexpr int FirstDayCol = 2;
constexpr int LastDayCol = 32;
constexpr int FirstCategoryRow = 1;
constexpr int LastCategoryRow = 17;
constexpr int DayTotalRow = 18;
constexpr int LastTotalledRow = 19;  // the bank payments: a row total, but no part of a day's spending
constexpr int TotalCol = 1;
constexpr int TableCols = 33;
constexpr int TableRows = 20;

const std::string& BankMark()
{
    static const std::string mark = toolkit::Sjis("Ａ");
    return mark;
}

// The booked mark replaces the two-byte "Ａ"; the name stays within the cell width.
constexpr char BookedMark = 'A';
constexpr size_t BookedNameRest = CellText::Capacity - 1;

bool IsUnbookedBankItem(const std::string& name)
{
    return name.size() >= BankMark().size() && name.compare(0, BankMark().size(), BankMark()) == 0;
}

bool IsFixedCell(QPoint cell)
{
    constexpr int FixedCols = 2;
    constexpr int FixedRows = 1;
    return cell.x() >= 0 && cell.y() >= 0 && (cell.x() < FixedCols || cell.y() < FixedRows);
}

using DetailList = CellText[ListColumns][ListRows];

DetailList& ListOf(const GridCell& cell)
{
    Q_ASSERT(cell.Col >= 0 && cell.Col < TableCols && cell.Row >= 0 && cell.Row < TableRows);
    return DetailLists[cell.Col][cell.Row];
}

} // namespace

void TForm1::StringGrid4DblClick()
{
    // The captions, the totals column and the day labels have no list of their own: opened, a
    // list there would be stored over the caption by OK.
    if (IsFixedCell(StringGrid4->PressedCell()) || IsFixedCell({ DayCell.Col, DayCell.Row }))
        return;
    ConfirmOpenList();                                                          // the list it replaces
    StringGrid5->setFocus();                                                    // 1.
    LoadList(DayCell);                                                          // 2.
}

void TForm1::LoadList(const GridCell& cell)
{
    const auto& list = ListOf(cell);
    for (int col = 0; col < ListColumns; ++col)
        for (int row = 0; row < ListRows; ++row)
            StringGrid5->SetCell(col, row, list[col][row].Str());
    // OK stores the list back into this cell, whatever cell is picked in the meantime.
    OpenList = cell;
    ForgetOfferedNames();  // the lists may have changed since the names were last offered
}

void TForm1::Button1Click()
{
    // Without an open list (before the first double click, or after an OK) there is nothing to
    // book or store: an empty list grid must not replace the list just stored.
    if (OpenList) {
        CheckList();                                                            // nothing is stored half
        BookBankItems();                                                        // 1.
        StoreList(*OpenList);                                                   // 2.
        DetailSum(*OpenList);                                                   // 3.
        EmptyListGrid();                                                        // 4.
        LedgerChanged = true;
    }
    RecalcDayTotals();                                                          // 5.
    RecalcRowTotals();                                                          // 6.
    CopyGridToDailyTable();                                                     // 7.
    RefreshCalculatedBalance(StringGrid1->Cell(1, 1));                          // 8.
}

void TForm1::ConfirmOpenList()
{
    if (OpenList && ListEdited())
        toolkit::RunAsAction(toolkit::Changes(), [this] { Button1Click(); });  // one step, named after the list
}

// The list grid differs from the list it was loaded from.
bool TForm1::ListEdited() const
{
    const auto& list = ListOf(*OpenList);
    for (int col = 0; col < ListColumns; ++col)
        for (int row = 0; row < ListRows; ++row)
            if (StringGrid5->Cell(col, row) != list[col][row].View())
                return true;
    return false;
}

// Converts, in their order, what booking and summing the list will convert, and changes nothing:
// the bank balance and each bank item's amount, then the amounts as the list will store them. So
// a list with an amount that fails leaves the bank balance, the names and the stored list as they
// were, and stays on screen for correction.
void TForm1::CheckList() const
{
    std::optional<int32_t> balance;
    for (int row = FirstItemRow; row <= LastBankRow; ++row) {
        if (!IsUnbookedBankItem(StringGrid5->Cell(0, row)))
            continue;
        if (!balance)
            balance = toolkit::IntFromText(StringGrid3->Cell(1, 2));
        balance = toolkit::SubtractAmounts(*balance, toolkit::IntFromText(StringGrid5->Cell(1, row)));
    }
    int32_t sum = 0;
    for (int row = FirstItemRow; row <= LastItemRow; ++row) {
        CellText amount;
        amount.Assign(StringGrid5->Cell(1, row));
        if (!amount.Empty())
            sum = toolkit::AddAmounts(sum, toolkit::IntFromText(amount.View()));
    }
}

// Each "Ａ" item is taken off the bank balance and renamed "A...", so that no later OK books it
// again. The list was checked first, so no row fails.
void TForm1::BookBankItems()
{
    for (int row = FirstItemRow; row <= LastBankRow; ++row) {
        const std::string& name = StringGrid5->Cell(0, row);
        if (!IsUnbookedBankItem(name))                                          // a.
            continue;
        int32_t balance = toolkit::IntFromText(StringGrid3->Cell(1, 2));        // b.
        int32_t amount = toolkit::IntFromText(StringGrid5->Cell(1, row));
        StringGrid3->SetCell(1, 2, toolkit::TextFromInt(toolkit::SubtractAmounts(balance, amount)));
        std::string booked = BookedMark + name.substr(BankMark().size(), BookedNameRest);  // c.
        StringGrid5->SetCell(0, row, booked);
    }
}

void TForm1::StoreList(const GridCell& cell)
{
    auto& list = ListOf(cell);
    for (int col = 0; col < ListColumns; ++col)
        for (int row = 0; row < ListRows; ++row)
            list[col][row].Assign(StringGrid5->Cell(col, row));
}

// Sums the stored list, not the grid: the amounts as cut to the cell width. Empty amounts are
// skipped; the sum is always written, "0" for a list without amounts.
void TForm1::DetailSum(const GridCell& cell)
{
    const auto& amounts = ListOf(cell)[1];
    int32_t sum = 0;
    for (int row = FirstItemRow; row <= LastItemRow; ++row)
        if (!amounts[row].Empty())
            sum = toolkit::AddAmounts(sum, toolkit::IntFromText(amounts[row].View()));
    StringGrid4->SetCell(cell.Col, cell.Row, toolkit::TextFromInt(sum));
}

// Closes the list: the grid is emptied, header included, and OK has no list to store until the
// next double click.
void TForm1::EmptyListGrid()
{
    for (int col = 0; col < ListColumns; ++col)
        for (int row = 0; row < ListRows; ++row)
            StringGrid5->SetCell(col, row, {});
    OpenList.reset();
}

// The running sum is written after each addition, so that a failing cell leaves the sum of the
// cells above it; a day without any amount keeps the total it had.
void TForm1::RecalcDayTotals()
{
    for (int col = FirstDayCol; col <= LastDayCol; ++col) {
        int32_t sum = 0;
        for (int row = FirstCategoryRow; row <= LastCategoryRow; ++row) {
            const std::string& amount = StringGrid4->Cell(col, row);
            if (amount.empty())
                continue;
            sum = toolkit::AddAmounts(sum, toolkit::IntFromText(amount));
            StringGrid4->SetCell(col, DayTotalRow, toolkit::TextFromInt(sum));
        }
    }
}

// Runs after the day totals, so that the total of row 18 is the month's spending; row 19, the
// bank payments, has a total of its own.
void TForm1::RecalcRowTotals()
{
    for (int row = FirstCategoryRow; row <= LastTotalledRow; ++row) {
        int32_t sum = 0;
        for (int col = FirstDayCol; col <= LastDayCol; ++col) {
            const std::string& amount = StringGrid4->Cell(col, row);
            if (amount.empty())
                continue;
            sum = toolkit::AddAmounts(sum, toolkit::IntFromText(amount));
            StringGrid4->SetCell(TotalCol, row, toolkit::TextFromInt(sum));
        }
    }
}

void TForm1::CopyGridToDailyTable()
{
    for (int col = 0; col < TableCols; ++col)
        for (int row = 0; row < TableRows; ++row)
            DailyTable[col][row].Assign(StringGrid4->Cell(col, row));
}
