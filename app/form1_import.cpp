// Statements into the month: ファイル > 明細を取り込む… (Ctrl+I) or statement files dropped on the
// window read them (statement/), learn the categories from the month on screen and the ledgers of
// its folder, and show the plan in the preview. 取り込む places the rows checked there: each list it
// touches is opened and confirmed as its OK confirms it, and the whole import is one step.
#include "app/form1.h"

#include "app/importpreview.h"
#include "ledger/fileaccess.h"
#include "ledger/record.h"
#include "ledger/tables.h"
#include "statement/plan.h"
#include "toolkit/convert.h"
#include "toolkit/filedrops.h"
#include "toolkit/text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

const QString StatementFilter = QStringLiteral("明細ファイル (*.csv *.CSV *.txt)");

} // namespace

void TForm1::Import1Click()
{
    QString folder = LedgerFileName.isEmpty() ? QString() : QFileInfo(LedgerFileName).absolutePath();
    toolkit::FilesDialog dialog(this, StatementFilter, folder);
    if (dialog.Execute())                                                      // 1. a cancel imports nothing
        ImportStatements(dialog.FileNames());
}

void TForm1::ImportStatements(const QStringList& files)
{
    ConfirmOpenList();                                                          // the list on screen first
    AssembleRecord();                                                           // 2. the month as it stands
    auto record = std::make_unique<unsigned char[]>(RecordSize);
    std::memcpy(record.get(), LedgerRecord, RecordSize);
    std::vector<std::string> paths;
    for (const QString& file : files)
        paths.push_back(QFile::encodeName(file).toStdString());
    statement::Statements statements = statement::ReadStatementFiles(paths);  // 3.
    statement::Categoriser categoriser;                                         // 4.
    categoriser.SetRules(KeptImportRules());
    categoriser.LearnFrom(record.get());
    QString ledger = LedgerFileName.isEmpty() && !RecentLedgers.Files().isEmpty() ? RecentLedgers.Files().front() : LedgerFileName;
    if (!ledger.isEmpty()) {
        std::string path = QFile::encodeName(ledger).toStdString();
        categoriser.LearnFromFolder(FolderOf(path), LedgerFileName.isEmpty() ? std::string() : NameOf(path));
    }
    if (statement::PlanImport(record.get(), {}, categoriser).Failure)          // the period's day labels
        throw toolkit::Failure(toolkit::Sjis("集計期間を設定してください"));
    QStringList categories;
    for (int row = 1; row <= statement::Categories; ++row) {
        // Row 17 has no caption of its own: its lists' header names it, or its number.
        QString caption = toolkit::FromSjis(StringGrid4->Cell(0, row)).trimmed();
        if (caption.isEmpty())
            caption = toolkit::FromSjis(DetailLists[2][row][0][0].Str()).trimmed();
        categories << (caption.isEmpty() ? QStringLiteral("%1行目").arg(row) : caption);
    }
    ImportPreview preview(this, record.get(), std::move(statements), categoriser, categories);  // 5.
    if (preview.exec() != QDialog::Accepted)
        return;
    KeepPickedRules(preview.PickedRules());                                     // 6. what the user taught
    PlaceImport(preview.Plan());                                                // 7.
}

// A rule per name the user gave a category in the preview; a rule of the same text is replaced.
void TForm1::KeepPickedRules(const std::vector<statement::Rule>& picked)
{
    if (picked.empty())
        return;
    std::vector<statement::Rule> rules = KeptImportRules();
    for (const statement::Rule& rule : picked) {
        rules.erase(std::remove_if(rules.begin(), rules.end(), [&](const statement::Rule& kept) { return kept.Text == rule.Text; }),
            rules.end());
        rules.push_back(rule);
    }
    KeepImportRules(rules);
}

// Each list the plan adds to, in the plan's order: opened as a double click opens it, the new
// items written into their lines, and confirmed by OK.
void TForm1::PlaceImport(const statement::ImportPlan& plan)
{
    for (const statement::ListCell& list : statement::ListsTouched(plan)) {
        GridCell cell { list.Column, list.Category };
        LoadList(cell);
        for (const statement::PlannedRow& row : plan.Rows)
            if (row.Now == statement::State::New && row.Column == list.Column && row.Category == list.Category) {
                StringGrid5->SetCell(0, row.ListLine, row.Name);
                StringGrid5->SetCell(1, row.ListLine, toolkit::TextFromInt(row.From.Amount));
            }
        Button1Click();
    }
}

void TForm1::AcceptStatementDrops()
{
    auto* drops = new toolkit::FileDrops(*this, { QStringLiteral(".csv"), QStringLiteral(".txt") }, toolkit::FileDrops::Many);
    connect(drops, &toolkit::FileDrops::DroppedFiles, this,
        toolkit::Handler(this, &TForm1::ImportStatements, toolkit::Changes("明細の取り込み")));
}
