// Open, Save and Save As of the ledger file. The record's layout is ledger/record.h; this file
// only says which control or table each area comes from and goes to, in the order the commands
// take them.
#include "app/form1.h"

#include "app/month.h"
#include "ledger/ledgerfile.h"
#include "ledger/record.h"
#include "ledger/tables.h"
#include "toolkit/convert.h"
#include "toolkit/ioerror.h"
#include "toolkit/text.h"

#include <QFile>

namespace {

// The dialogs hand back a QString; the file calls take the name in the file system's encoding.
std::string NativeName(const QString& fileName) { return QFile::encodeName(fileName).toStdString(); }

// A grid's cells (0..columns-1, 0..rows-1) into the first `rows` slots of each column of
// `area`; the area's slots below them are written empty.
void PutGridArea(const RecordArea& area, const toolkit::StringGrid& grid, int rows)
{
    for (int col = 0; col < area.Columns; ++col)
        for (int row = 0; row < area.Rows; ++row)
            PutSlot(area, col, row, row < rows ? std::string_view(grid.Cell(col, row)) : std::string_view());
}

// The first `rows` slots of each column of `area` into the grid's cells; the slots below them
// are ignored.
void TakeGridArea(const RecordArea& area, toolkit::StringGrid& grid, int rows)
{
    for (int col = 0; col < area.Columns; ++col)
        for (int row = 0; row < rows; ++row)
            grid.SetCell(col, row, SlotText(area, col, row));
}

// An amount cell of the tables as an integer; an empty cell is 0 where the caller allows it.
int32_t AmountOrZero(const CellText& cell) { return cell.Empty() ? 0 : toolkit::IntFromText(cell.View()); }

} // namespace

void TForm1::fileopenclick()
{
    if (!SettleChanges())                                              // the ledger on screen first
        return;
    bool opened = OpenDialog1.Execute() && MayOpenLedger(OpenDialog1.FileName()); // 1. a cancel goes on at 5.
    if (opened)
        ReadLedgerFile(OpenDialog1.FileName());                        // 2. to 4.
    RecalcTotalsAfterOpen();                                           // 5.
    if (opened)
        OfferRecoveries(OpenDialog1.FileName());                       // what a Kivelo that died left of it
}

void TForm1::ReadLedgerFile(const QString& fileName)
{
    ReadLedgerRecords(fileName);
    NameLedgerFile(fileName);
    HoldLedger(fileName);
}

void TForm1::ReadLedgerRecords(const QString& fileName)
{
    LedgerFile file;
    file.OpenForReading(NativeName(fileName));                         // 2. reading only
    while (!file.AtEnd()) {                                            // 3. the last record wins
        file.ReadRecord();
        DistributeRecord();
    }
    file.Close();                                                      // 4.
}

void TForm1::DistributeRecord()
{
    TakeBudgetAreas();                                                 // 1.
    for (int col = 0; col < DailyArea.Columns; ++col)                  // 2.
        for (int row = 0; row < DailyArea.Rows; ++row) {
            std::string_view text = SlotText(DailyArea, col, row);
            StringGrid4->SetCell(col, row, text);
            DailyTable[col][row].Assign(text);
        }
    Memo1->SetText(std::string(SlotText(MemoArea, 0, 0)));             // 3.
    Edit1->SetText(std::string(SlotText(PeriodMonthArea, 0, 0)));
    Edit2->SetText(std::string(SlotText(PeriodDayArea, 0, 0)));
    TakeGridArea(OnHandArea, *StringGrid3, 5);                         // 4.
    TakeGridArea(StatusArea, *StringGrid2, StatusArea.Rows);
    TakeDetailArea();                                                  // 5.
    // The list on screen belonged to the ledger that was just replaced: left open, its OK would
    // write it over the loaded list of the same cell. So a loaded record closes it. A cancelled,
    // failed or empty Open replaces nothing and leaves the list open.
    EmptyListGrid();                                                   // 6.
    LedgerChanged = false;                                             // 7. the window holds the file's ledger
    History->Steps().Restart();                                        // with a history of its own
}

void TForm1::RecalcTotalsAfterOpen()
{
    const CellText& incomeTotal = IncomeBudget[1][12];
    StringGrid1->SetCell(1, 1, incomeTotal.Str());                     // 1.
    StringGrid1->SetCell(1, 2, ExpenseBudget[1][18].Str());
    IncomeTotal = AmountOrZero(incomeTotal);                           // 2.
    int32_t remainder = 0;                                             // 3.
    for (int row = 1; row <= 17; ++row) {
        const CellText& budget = ExpenseBudget[1][row];
        CellText& used = DailyTable[1][row];
        if (budget.Empty())
            continue;
        if (used.Empty())
            used.Assign("0");                                          // the table only, not StringGrid4
        int32_t left = toolkit::SubtractAmounts(toolkit::IntFromText(budget.View()), toolkit::IntFromText(used.View()));
        if (left > 0)
            remainder = toolkit::AddAmounts(remainder, left);
    }
    // A month without a confirmed detail list has an empty total spent; it is nothing spent, so
    // that the files saved before the first list open without an error.
    ProjectedSpending = toolkit::AddAmounts(AmountOrZero(DailyTable[1][18]), remainder);   // 4.
    StringGrid1->SetCell(1, 3, toolkit::TextFromInt(toolkit::SubtractAmounts(IncomeTotal, ProjectedSpending)));  // 5.
}

void TForm1::filesaveclick()
{
    ConfirmOpenList();                                                 // the list on screen is saved too
    // Open never names SaveDialog1, so the first Save of a run always asks for a name.
    if (SaveDialog1.FileName().isEmpty()) {                            // 1.
        SaveAs1Click();
        return;
    }
    WriteRecordTo(SaveDialog1.FileName());                             // 2.
}

void TForm1::SaveAs1Click()
{
    ConfirmOpenList();                                                 // the list on screen is saved too
    if (!SaveDialog1.Execute())                                        // 1.
        return;
    WriteRecordTo(SaveDialog1.FileName());                             // 2.
}

void TForm1::WriteRecordTo(const QString& fileName)
{
    if (!MayReplaceLedger(fileName))                                   // another program changed it
        return;
    AssembleRecord();
    int versionError = WriteLedgerFile(NativeName(fileName));
    LedgerChanged = false;
    History->Steps().MarkSaved();
    NameLedgerFile(fileName);
    HoldLedger(fileName);
    // The save went ahead without keeping the file it replaced; said once a run, not at every save.
    if (versionError != 0 && !toldNoVersionKept_) {
        toldNoVersionKept_ = true;
        toolkit::ShowError(toolkit::Sjis("以前の版を残せませんでした（")
            + toolkit::IoMessage(toolkit::IoCodeFromErrno(versionError)) + toolkit::Sjis("）"));
    }
}

void TForm1::AssembleRecord()
{
    PutBudgetAreas();                                                  // 1.
    PutGridArea(DailyArea, *StringGrid4, DailyArea.Rows);              // 2. the grid, not DailyTable
    PutSlot(MemoArea, 0, 0, Memo1->Text());                            // 3.
    PutSlot(PeriodMonthArea, 0, 0, Edit1->Text());
    PutSlot(PeriodDayArea, 0, 0, Edit2->Text());
    PutGridArea(OnHandArea, *StringGrid3, 5);                          // 4. slot 5 empty
    PutGridArea(StatusArea, *StringGrid2, StatusArea.Rows);
    PutDetailArea();                                                   // 5.
}
