// Typing a name into the detail list: the line under the list telling whether the name fits its
// 12 bytes (app/namefit.h), and the names used before offered under the cell (app/nameoffer.h),
// from the month on screen and every ledger in the folder of the ledger last opened or saved.
#include "app/form1.h"

#include "app/namefit.h"
#include "app/nameoffer.h"
#include "ledger/fileaccess.h"
#include "ledger/folder.h"
#include "ledger/ledgerimage.h"
#include "ledger/tables.h"
#include "statement/namebook.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <tuple>
#include <sys/stat.h>

// The names of the folder's ledgers, read again only when a file of the folder changed, and those
// of the month on screen, read again whenever a list is opened.
struct TForm1::NameBooks {
    statement::NameBook Folder;
    statement::NameBook FolderIncome;   // the income items of the budgets
    statement::NameBook FolderExpense;  // the categories of the expense budgets
    statement::NameBook Month;
    bool MonthRead = false;
    bool FolderChecked = false;
    std::vector<std::pair<std::string, int64_t>> FolderFiles;  // each file with its time of change
};

namespace {

// The byte line at `line` and the names offered on column 0 of `grid`, whose typing state is
// `entry` and `cell`; `offer` gives the names, and `taken` is told of a name taken.
std::pair<NameFit*, NameOffer*> AttachNameHelpers(QWidget& parent, toolkit::StringGrid& grid, EntryBuffer& entry,
    GridCell& cell, const QRect& line, NameOffer::Offer offer, std::function<void()> taken)
{
    auto nameCell = [&grid, &cell]() -> std::optional<std::string> {
        if (cell.Col != 0 || cell.Row < 1)
            return std::nullopt;
        return grid.Cell(0, cell.Row);
    };
    auto* fit = new NameFit(&parent, "NameBytes1", grid, nameCell);
    fit->setGeometry(line);
    auto typing = [nameCell, &entry, &cell]() -> std::optional<NameOffer::Typing> {
        std::optional<std::string> name = nameCell();
        if (!name || !entry.Before)  // no key typed into the cell yet
            return std::nullopt;
        return NameOffer::Typing { cell.Col, cell.Row, *name };
    };
    // The name into the cell typed into, and its last amount into an empty amount cell; the keys
    // typed next go on from the name.
    auto take = [&grid, &entry, &cell, fit, taken](const statement::OfferedName& offered) {
        toolkit::Guard(toolkit::Changes("名前の補完"), [&] {
            grid.SetCell(0, cell.Row, offered.Name);
            entry.Typed = offered.Name;
            if (grid.Cell(1, cell.Row).empty())
                grid.SetCell(1, cell.Row, offered.Amount);
            taken();
            fit->Refresh();
        });
    };
    return { fit, new NameOffer(&parent, "NameOffer1", grid, typing, std::move(offer), take) };
}

} // namespace

void TForm1::BuildNameHelpers()
{
    nameBooks_ = std::make_shared<NameBooks>();
    // The line is wider than the list's panel: the kept text follows the count.
    std::tie(NameBytes1, NameOffer1) = AttachNameHelpers(*centralWidget(), *StringGrid5, EntryText, ItemCell,
        QRect(608, 531, 360, 20), [this](const std::string& typed) { return OfferNames(typed); },
        [this] { LedgerChanged = true; });
}

void TForm1::ForgetOfferedNames()
{
    nameBooks_->MonthRead = false;
    nameBooks_->FolderChecked = false;
}

// The folder's books, read again when a ledger of the folder was added, removed or changed since.
void TForm1::ReadFolderNames()
{
    NameBooks& books = *nameBooks_;
    if (!books.FolderChecked) {
        books.FolderChecked = true;
        std::vector<std::string> files;
        QString last = RecentLedgers.Files().isEmpty() ? QString() : RecentLedgers.Files().front();
        std::string onScreen = QFile::encodeName(LedgerFileName).toStdString();
        if (!last.isEmpty())
            LedgerFilesIn(FolderOf(QFile::encodeName(last).toStdString()), files);
        std::vector<std::pair<std::string, int64_t>> now;
        for (const std::string& file : files) {
            struct stat status {};
            if (NameOf(file) != NameOf(onScreen) && ::stat(file.c_str(), &status) == 0)
                now.emplace_back(file, int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec);
        }
        if (now != books.FolderFiles) {
            // The months in the order they were last saved: the latest wins a tie.
            std::vector<std::pair<std::string, int64_t>> byTime = now;
            std::sort(byTime.begin(), byTime.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
            books.Folder = books.FolderIncome = books.FolderExpense = statement::NameBook();
            LedgerImage image;
            for (size_t month = 0; month < byTime.size(); ++month)
                if (!ReadLedgerImage(byTime[month].first, image) && image.HasRecord()) {
                    books.Folder.AddRecord(image.Record.get(), int(month) + 1);
                    books.FolderIncome.AddBudget(image.Record.get(), IncomeArea, 1, 11, int(month) + 1);
                    books.FolderExpense.AddBudget(image.Record.get(), ExpenseArea, 1, 17, int(month) + 1);
                }
            books.FolderFiles = std::move(now);
        }
    }
}

std::vector<statement::OfferedName> TForm1::OfferNames(const std::string& typed)
{
    ReadFolderNames();
    NameBooks& books = *nameBooks_;
    if (!books.MonthRead) {
        books.MonthRead = true;
        books.Month = statement::NameBook();
        constexpr int OnScreen = 1 << 20;  // later than any month of the folder
        for (int day = 2; day <= 32; ++day)
            for (int category = 1; category <= 17; ++category)
                for (int line = 1; line <= 17; ++line)
                    books.Month.Add(DetailLists[day][category][0][line].View(), DetailLists[day][category][1][line].View(), OnScreen);
    }
    return statement::NameBook::Offer({ &books.Folder, &books.Month }, typed);
}

void TForm1::AddBudgetNameHelpers(
    QWidget& editor, toolkit::StringGrid& grid, EntryBuffer& entry, GridCell& cell, bool income, const QRect& line)
{
    // The budgets of the folder's months, and the one the editor was opened on.
    auto offer = [this, income](const std::string& typed) {
        ReadFolderNames();
        statement::NameBook onScreen;
        for (int row = 1; row <= (income ? 11 : 17); ++row)
            onScreen.Add((income ? IncomeBudget[0][row] : ExpenseBudget[0][row]).View(),
                (income ? IncomeBudget[1][row] : ExpenseBudget[1][row]).View(), 1 << 20);
        return statement::NameBook::Offer({ income ? &nameBooks_->FolderIncome : &nameBooks_->FolderExpense, &onScreen }, typed);
    };
    AttachNameHelpers(editor, grid, entry, cell, line, offer, [] {});
    nameBooks_->FolderChecked = false;  // a ledger of the folder may have changed since
}
