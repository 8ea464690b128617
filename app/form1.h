// TForm1, the ledger window: the grids on which a month is entered and shown, the memo, the
// period panel, the toolbar and the menu. Its implementation is split by concern:
//   form1.cpp          layout, FormCreate, the toolbar and menu handlers, program start
//   form1_entry.cpp    the typing handlers of the five grids
//   form1_detail.cpp   the daily expense table and its detail lists
//   form1_status.cpp   the period, money on hand, current status and budget-and-progress
//   form1_file.cpp     Open, Save and Save As of the ledger file
//   form1_changes.cpp  what the user has changed since the last Open or Save, and the question
//                      before it would be lost
//   form1_edit.cpp     the 編集 menu: undo and redo of the month (month.h keeps its history)
//   form1_newmonth.cpp the next month, started from this one
//   form1_versions.cpp the earlier versions of the ledger, listed and opened
//   form1_writers.cpp  another writer: the lock beside the ledger, the check before a save
//   form1_recovery.cpp the month kept against a death of the program, and offered again
//   form1_import.cpp   bank, card and payment statements into the month, through a preview
//   form1_names.cpp    typing a name: whether it fits its 12 bytes, and the names used before
//   form1_year.cpp     the year at a glance, over ledgers chosen together
//   form1_print.cpp    printing the month, to a printer or a PDF file
//   form1_access.cpp   the controls' accessible names and the menu's keys
//   form1_outside.cpp  ledgers from outside the Open dialog: the command line, a drop
//   form1_recent.cpp   the ledgers opened or saved last, listed under ファイル
#pragma once

#include "app/carrydialog.h"
#include "app/entry.h"
#include "ledger/identity.h"
#include "ledger/lock.h"
#include "ledger/recovery.h"
#include "statement/namebook.h"
#include "statement/plan.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "toolkit/failure.h"
#include "toolkit/recentfiles.h"
#include "toolkit/stringgrid.h"

#include <QMainWindow>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class MonthHistory;
class NameFit;
class NameOffer;
class RecoveryKeeper;
class WideTable;
class QAction;
class QMenu;
class QPushButton;
class QToolButton;
class TForm4;
class TForm5;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* owner = nullptr);

    // Controls, named as the layout names them.
    toolkit::Panel* Panel1;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QToolButton* BitBtn1;
    toolkit::Memo* Memo1;
    toolkit::Panel* Panel5;
    toolkit::Edit* Edit1;
    toolkit::Edit* Edit2;
    QPushButton* Button2;
    toolkit::Panel* Panel2;
    toolkit::StringGrid* StringGrid1;
    toolkit::Panel* Panel4;
    toolkit::StringGrid* StringGrid3;
    toolkit::Panel* Panel3;
    toolkit::StringGrid* StringGrid2;
    toolkit::StringGrid* StringGrid4;
    toolkit::Panel* Panel6;
    toolkit::StringGrid* StringGrid5;
    QPushButton* Button1;
    NameFit* NameBytes1 = nullptr;  // under the list: how many of its 12 bytes the name typed takes
    NameOffer* NameOffer1 = nullptr;  // under the name cell typed into: the names used before
    toolkit::FileDialog OpenDialog1;
    toolkit::FileDialog SaveDialog1;
    QMenu* N1;
    QAction* N2;
    QAction* Save1;
    QAction* SaveAs1;
    QAction* Versions1;
    QAction* Import1;
    QAction* NewMonth1;
    QAction* YearView1;
    QAction* Print1;
    QAction* N3;
    QAction* Exit1;
    QMenu* EditMenu1;
    QAction* Undo1;
    QAction* Redo1;
    QMenu* ViewMenu1;
    QMenu* Zoom1;
    std::vector<QAction*> ZoomSteps1;  // 100 % to 200 %
    QAction* ZoomIn1;
    QAction* ZoomOut1;
    QAction* Wide1;
    QAction* N4;

    // The typing idiom's state: one entry text for the five grids, and their entry cells.
    EntryBuffer EntryText;
    GridCell StatusCell;  // StringGrid1, StringGrid2 and StringGrid3 share it
    GridCell DayCell;     // StringGrid4; also the cell whose detail list is loaded
    GridCell ItemCell;    // StringGrid5

    // The daily-table cell whose detail list StringGrid5 holds, from the double click until an
    // OK empties the list grid; none while no list is open.
    std::optional<GridCell> OpenList;

    // The user has edited the ledger since it was last opened or saved: typed into a cell, the
    // memo or the period, or confirmed a list or a budget editor. Looking changes nothing.
    bool LedgerChanged = false;

    // The steps of the month that undo takes back and redo does again.
    MonthHistory* History = nullptr;
    // The month kept in the recovery file while it holds work not saved.
    RecoveryKeeper* Keeper = nullptr;
    // The daily table spread over the window, or as designed.
    WideTable* WideTable1 = nullptr;

    // The file the ledger on screen was last opened from or saved to; empty before the first.
    QString LedgerFileName;
    // The ledgers opened or saved last, newest first; ファイル lists them above 終了.
    toolkit::RecentFiles RecentLedgers;

    // form1.cpp
    void FormCreate();
    void Exit1Click();
    void N4Click();
    void SpeedButton3Click();

    // form1_entry.cpp
    void StringGrid1SelectCell(int col, int row);
    void StringGrid2SelectCell(int col, int row);
    void StringGrid3SelectCell(int col, int row);
    void StringGrid4SelectCell(int col, int row);
    void StringGrid5SelectCell(int col, int row);
    void StringGrid1KeyPress(char key);
    void StringGrid2KeyPress(char key);
    void StringGrid3KeyPress(char key);
    void StringGrid4KeyPress(char key);
    void StringGrid5KeyPress(char key);
    void StringGrid3MouseUp(int x, int y);
    void StringGrid4MouseUp(int x, int y);
    void StringGrid5MouseUp(int x, int y);

    // form1_detail.cpp
    void StringGrid4DblClick();
    // The list of a daily-table cell into the list grid, open until OK stores it back.
    void LoadList(const GridCell& cell);
    // form1_names.cpp: the names offered are read again before the next is offered.
    void ForgetOfferedNames();
    void Button1Click();
    // The list on screen, when it holds edits not yet confirmed, confirmed as OK confirms it: before
    // a command would save without it or replace it. A list that fails to confirm stops the command.
    void ConfirmOpenList();
    // The list grid differs from the list it was loaded from.
    bool ListEdited() const;

    // form1_status.cpp
    void FormActivate();
    void Button2Click();
    void StringGrid1dbClick();
    void StringGrid1Exit();
    void StringGrid3Exit();
    void UpdateDifference();
    int32_t OnHandTotal() const;  // rows 1 to 3 of the money on hand, empty ones skipped
    void RefreshCalculatedBalance(const std::string& income);

    // form1_file.cpp
    void fileopenclick();
    void filesaveclick();
    void SaveAs1Click();
    // Puts the month on screen into LedgerRecord as Save writes it, and changes nothing else.
    void AssembleRecord();

    // form1_changes.cpp
    void Memo1Change();
    void Edit1Change();
    void Edit2Change();
    // Before the ledger on screen is closed or replaced: confirms the list on screen, then, when the
    // ledger has changed, asks whether to save it. True when the caller may go on: nothing had
    // changed, the user chose not to save, or the save succeeded. A failing save throws.
    bool SettleChanges();

    // form1_edit.cpp
    void Undo1Click();
    void Redo1Click();

    // form1_recovery.cpp
    // The month as it is kept against a death of the program: what Save would write, the list on
    // screen, the ledger's name and what its file was.
    Recovery CaptureRecovery();
    // The month kept, on screen again exactly as it was, not saved, with its name.
    void RestoreRecovery(const Recovery& kept);
    // Offers each month that a Kivelo no longer running has left (only those of `ledger`, when
    // given): 復元, 破棄 or あとで.
    void OfferRecoveries(const QString& ledger = {});
    // A request from outside to end the program: the month is kept, nothing is asked.
    void EndOnRequest();

    // form1_newmonth.cpp
    void NewMonth1Click();
    // The command's two halves around the carry dialog: what the next month takes from this one
    // (a figure that does not convert fails here, before anything changes), and the new month.
    struct NextMonth {
        std::string Month;                // empty while the period has no month
        std::vector<std::string> Labels;  // the 31 day labels; none while the period is not complete
        std::string IncomeTotal;
        std::string BudgetTotal;
        std::vector<BankPayment> Payments;
    };
    NextMonth PlanNextMonth();
    void StartMonth(const NextMonth& next);

    // form1_outside.cpp
    // Opens `fileName` as ファイルを開く opens the file chosen in its dialog, the question about
    // unsaved changes first; for a ledger named on the command line or dropped on the window.
    void OpenLedgerFromOutside(const QString& fileName);

    // form1_recent.cpp
    // A ledger of the recent list, opened from outside; one that has gone since leaves the list
    // after Open's error box.
    void RecentLedgerClick(const QString& fileName);

    // form1_versions.cpp
    void Versions1Click();

    // form1_import.cpp
    void Import1Click();
    // The statement files read, previewed and, once the user says 取り込む, placed; one step. A month
    // without its period fails with "集計期間を設定してください".
    void ImportStatements(const QStringList& files);
    void PlaceImport(const statement::ImportPlan& plan);

    // form1_names.cpp
    // A budget editor's name helpers on its grid: the byte line at `line`, and the income items
    // (or the expense categories) of the folder's months and of this one offered.
    void AddBudgetNameHelpers(
        QWidget& editor, toolkit::StringGrid& grid, EntryBuffer& entry, GridCell& cell, bool income, const QRect& line);

    // form1_year.cpp
    void YearView1Click();
    // form1_print.cpp
    void Print1Click();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildLayout();
    void BuildMenu();
    void ConnectHandlers();
    void WriteCaptions();
    void HandOverDaySpend();

    // form1_access.cpp
    void BuildAccessibility();

    // form1_edit.cpp
    void BuildEditMenu();
    void WatchForUndo();
    void ShowUndoNames();

    // form1_view.cpp
    void BuildViewMenu();
    void ZoomStepClick(QAction* step);
    void ZoomIn1Click();
    void ZoomOut1Click();
    void ChooseZoom(int percent);
    void ShowZoomChoice(int percent);
    void Wide1Click();

    // form1_recovery.cpp
    void WatchForRecovery();

    // form1_outside.cpp
    void AcceptLedgerDrops();
    // form1_names.cpp
    void BuildNameHelpers();
    void ReadFolderNames();
    std::vector<statement::OfferedName> OfferNames(const std::string& typed);
    // form1_import.cpp
    void AcceptStatementDrops();
    void KeepPickedRules(const std::vector<statement::Rule>& picked);

    // form1_writers.cpp
    // The ledger may be opened: no other Kivelo holds it, or the user opens it all the same.
    bool MayOpenLedger(const QString& fileName);
    // A save may replace the file: it is not the ledger on screen, or nobody changed it since the
    // window opened or saved it, or the user overwrites it all the same (or saved under another name).
    bool MayReplaceLedger(const QString& fileName);
    // The window holds the ledger of `fileName` now: its lock, and what its file is.
    void HoldLedger(const QString& fileName);
    void LetGoOfLedger();

    // form1_recent.cpp
    void BuildRecentMenu();
    void ShowRecentLedgers();
    // The ledger on screen is now that of `fileName`, which heads the recent list.
    void NameLedgerFile(const QString& fileName);

    // form1_entry.cpp
    void Type(toolkit::StringGrid& grid, const GridCell& cell, char key);

    // form1_detail.cpp
    void CheckList() const;
    void BookBankItems();
    void StoreList(const GridCell& cell);
    void DetailSum(const GridCell& cell);
    void EmptyListGrid();
    void RecalcDayTotals();
    void RecalcRowTotals();
    void CopyGridToDailyTable();

    // form1_file.cpp
    void ReadLedgerFile(const QString& fileName);     // and names the ledger after the file
    void ReadLedgerRecords(const QString& fileName);
    void DistributeRecord();
    void RecalcTotalsAfterOpen();
    void WriteRecordTo(const QString& fileName);

    toolkit::RecurringStep activation_;  // FormActivate, whose failure is shown once
    bool toldNoVersionKept_ = false;     // form1_file.cpp: a save could not keep the file it replaced
    bool endingOnRequest_ = false;       // form1_recovery.cpp: ending without a question
    // form1_writers.cpp: the lock on the ledger held, and what its file was when opened or saved
    LedgerLock ledgerLock_;
    std::optional<FileIdentity> ledgerIdentity_;
    bool activated_ = false;  // form1.cpp: the first activation starts the month's history
    // form1_names.cpp: the names offered as a name is typed, of the folder and of the month
    struct NameBooks;
    std::shared_ptr<NameBooks> nameBooks_;
    // form1_recent.cpp: the recent list's entries in ファイル, and the separator after them
    std::vector<QAction*> recentEntries_;
    // form1_print.cpp
    std::unique_ptr<TForm5> AnalysisForPrint();
};

// The 31 day labels of the period that starts on day `dayText` of month `monthText`, as the
// period command writes them into columns 2 to 32 (12月25日 ... 1月24日). Fails when either text
// is no integer.
std::vector<std::string> PeriodDayLabels(const std::string& monthText, const std::string& dayText);

// Program start: the application title, the main window, the help window and the usage
// analysis window, in that order, all shown maximised; then, once the event loop runs, `ledger`
// opened from outside when one is given.
struct StartWindows {
    TForm1* Main;
    TForm4* Help;
    TForm5* Analysis;
};
StartWindows StartProgram(const QString& ledger = {});
