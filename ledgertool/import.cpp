// import: the statements planned into a ledger's month as the window's preview plans them, printed
// row by row or as JSON, and with --into placed and confirmed into a new ledger.
#include "ledger/fileaccess.h"
#include "ledger/textout.h"
#include "ledgertool/commands.h"
#include "statement/plan.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <cstring>

namespace {

std::string DateText(const statement::Date& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.Year, date.Month, date.Day);
    return text;
}

void JsonOfPlan(const statement::ImportPlan& plan, std::string& out)
{
    out += "[";
    bool first = true;
    for (const statement::PlannedRow& row : plan.Rows) {
        out += first ? "\n  {" : ",\n  {";
        first = false;
        out += "\"file\": ";
        AppendJsonString(out, row.From.File);
        out += ", \"line\": " + std::to_string(row.From.Line);
        out += ", \"date\": \"" + DateText(row.From.When) + "\"";
        out += ", \"column\": " + (row.Column ? std::to_string(row.Column) : std::string("null"));
        out += ", \"category\": " + (row.Category ? std::to_string(row.Category) : std::string("null"));
        out += ", \"name\": ";
        AppendJsonString(out, toolkit::Utf8FromSjis(row.Name));
        out += ", \"amount\": " + std::to_string(row.From.Amount);
        out += std::string(", \"state\": \"") + statement::StateName(row.Now) + "\"";
        out += std::string(", \"bank\": ") + (row.Bank ? "true" : "false");
        out += std::string(", \"rule\": \"") + statement::SourceName(row.Rule) + "\"}";
    }
    out += first ? "]\n" : "\n]\n";
}

void TextOfPlan(const statement::ImportPlan& plan, std::string& out)
{
    out += "file\tline\tdate\tcolumn\tcategory\tname\tamount\tstate\tbank\trule\n";
    for (const statement::PlannedRow& row : plan.Rows) {
        out += row.From.File + "\t" + std::to_string(row.From.Line) + "\t" + DateText(row.From.When) + "\t";
        out += (row.Column ? std::to_string(row.Column) : "-") + "\t" + (row.Category ? std::to_string(row.Category) : "-");
        out += "\t" + toolkit::Utf8FromSjis(row.Name) + "\t" + std::to_string(row.From.Amount) + "\t";
        out += std::string(statement::StateName(row.Now)) + "\t" + (row.Bank ? "bank" : "-") + "\t"
            + statement::SourceName(row.Rule) + "\n";
    }
}

} // namespace

int ImportStatements(const std::string& ledger, const std::vector<std::string>& statements, bool json,
    const std::optional<std::string>& into, CommandOutput& output)
{
    LedgerImage image;
    if (std::optional<std::string> reason = ReadLedgerImage(ledger, image)) {
        output.Err += "kivelo-ledger: " + ledger + ": " + *reason + "\n";
        return ExitFailure;
    }
    if (!image.HasRecord()) {
        output.Err += "kivelo-ledger: " + ledger + ": holds no whole record\n";
        return ExitFailure;
    }
    int status = ExitSuccess;
    statement::Statements read = statement::ReadStatementFiles(statements);
    for (const auto& [file, reason] : read.Failures) {
        output.Err += "kivelo-ledger: " + file + ": " + reason + "\n";
        status = ExitFailure;
    }
    for (const statement::UnreadRow& row : read.Unread) {
        output.Err += "kivelo-ledger: " + row.File + ":" + std::to_string(row.Line) + ": " + row.Reason + ": " + row.Text + "\n";
        if (status == ExitSuccess)
            status = ExitProblems;
    }
    if (status == ExitFailure)
        return status;
    statement::Categoriser categoriser;
    categoriser.SetRules(statement::RulesFromSettingsFile(statement::SettingsFilePath()));
    categoriser.LearnFrom(image.Record.get());
    categoriser.LearnFromFolder(FolderOf(ledger), NameOf(ledger));
    statement::ImportPlan plan = statement::PlanImport(image.Record.get(), read.Purchases, categoriser);
    if (plan.Failure) {
        output.Err += "kivelo-ledger: " + ledger + ": " + *plan.Failure + "\n";
        return ExitFailure;
    }
    if (json)
        JsonOfPlan(plan, output.Out);
    else
        TextOfPlan(plan, output.Out);
    if (into) {
        if (std::optional<std::string> failure = statement::PlaceInRecord(image.Record.get(), plan)) {
            output.Err += "kivelo-ledger: " + ledger + ": " + toolkit::Utf8FromSjis(*failure) + "\n";
            return ExitFailure;
        }
        try {
            ReplaceFileContent(*into, image.Record.get(), RecordSize);
        } catch (const toolkit::Failure& failure) {
            output.Err += "kivelo-ledger: " + *into + ": " + toolkit::Utf8FromSjis(failure.Message()) + "\n";
            return ExitFailure;
        }
    }
    return status;
}
