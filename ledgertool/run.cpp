#include "ledgertool/commands.h"

#include <algorithm>

namespace {

const char* const UsageText = R"(Usage: kivelo-ledger COMMAND FILE... [OPTION...]
Reads, checks and exports the account book's ledger files (*.ZMR).

Commands:
  dump FILE                  the last record as JSON in UTF-8, every area by its name
  check FILE...              every problem found, one per line: FILE: where: what
  csv FILE [--encoding ENC]  one CSV line per detail item; ENC is utf-8 (the default) or cp932
  homebank FILE --year YYYY  the detail items in HomeBank's transaction import format, dated
                             from the day labels, YYYY being the year of the first day
  diff A B                   every field that differs between two ledgers, with both texts
  versions FILE              the earlier versions Kivelo keeps of the ledger, newest first: when
                             each was saved, its 支出計 and 計算残高, and its file
  import LEDGER STATEMENT... [--json] [--into OUT]
                             bank, card and payment statements (CSV) planned into the
                             ledger's month as Kivelo's preview plans them: one row per
                             purchase with its file, line, date, day column, category, name
                             as stored, amount, state, bank payment and rule; with --into,
                             the new rows placed and their lists confirmed into a new ledger
                             OUT (LEDGER is never written)
  year FILE|FOLDER... [--csv [--cp932] | --json]
                             the main figures of several ledgers side by side, in the order
                             of their months, with the totals; a folder stands for its *.ZMR
                             files. Aligned text, CSV (UTF-8, or Shift-JIS with --cp932 or
                             --encoding cp932) or JSON; each amount that is not an integer is
                             marked "??" and named on standard error

Options:
  --help                     show this text

Exit status: 0 success; 1 check found problems, diff found differences, year marked an
amount or import met a row it could not read; 2 bad usage, an unreadable file, or a ledger that
cannot be exported.
)";

struct Invocation {
    std::string Command;
    std::vector<std::string> Files;
    std::optional<std::string> Encoding;
    std::optional<std::string> Year;
    std::optional<std::string> Into;
    bool Csv = false;
    bool Json = false;
    bool Cp932 = false;
};

// Splits the arguments into the command, its files and its options; "--name value" and
// "--name=value" are both taken, and "--" ends the options.
std::optional<std::string> ParseArguments(const std::vector<std::string>& arguments, Invocation& invocation)
{
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            if (invocation.Command.empty())
                invocation.Command = argument;
            else
                invocation.Files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = argument;
        std::optional<std::string> value;
        if (std::string::size_type equals = argument.find('='); equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        }
        bool* flag = name == "--csv" ? &invocation.Csv
            : name == "--json"       ? &invocation.Json
            : name == "--cp932"      ? &invocation.Cp932
                                     : nullptr;
        if (flag && value)
            return "option '" + name + "' takes no value";
        if (flag) {
            *flag = true;
            continue;
        }
        std::optional<std::string>* target = name == "--encoding" ? &invocation.Encoding
            : name == "--year"                                    ? &invocation.Year
            : name == "--into"                                    ? &invocation.Into
                                                                  : nullptr;
        if (!target)
            return "unknown option '" + argument + "'";
        if (!value) {
            if (i + 1 == arguments.size())
                return "option '" + name + "' needs a value";
            value = arguments[++i];
        }
        *target = value;
    }
    return std::nullopt;
}

std::optional<std::string> CheckArity(const Invocation& invocation)
{
    const std::string& command = invocation.Command;
    size_t files = invocation.Files.size();
    if (command.empty())
        return std::string("no command given");
    if (command != "dump" && command != "check" && command != "csv" && command != "homebank" && command != "diff"
        && command != "year" && command != "versions" && command != "import")
        return "unknown command '" + command + "'";
    if (command == "check" && files == 0)
        return std::string("check needs at least one file");
    if (command == "diff" && files != 2)
        return std::string("diff needs two files");
    if ((command == "dump" || command == "csv" || command == "homebank" || command == "versions") && files != 1)
        return command + " needs one file";
    if (command == "import" && files < 2)
        return std::string("import needs a ledger and at least one statement");
    if (invocation.Into && command != "import")
        return "option '--into' is for import, not " + command;
    if (command == "year" && files == 0)
        return std::string("year needs at least one file or folder");
    const char* yearOption = invocation.Csv ? "--csv"
        : invocation.Json                   ? "--json"
        : invocation.Cp932                  ? "--cp932"
                                            : nullptr;
    if (yearOption && command != "year" && !(command == "import" && invocation.Json && !invocation.Csv && !invocation.Cp932))
        return std::string("option '") + yearOption + "' is for year, not " + command;
    if (invocation.Csv && invocation.Json)
        return std::string("year writes --csv or --json, not both");
    if ((invocation.Cp932 || invocation.Encoding) && command == "year" && !invocation.Csv)
        return std::string("an encoding is for year --csv; the text and the JSON are UTF-8");
    if (invocation.Encoding && command != "csv" && command != "year")
        return "option '--encoding' is for csv, not " + command;
    if (invocation.Encoding && *invocation.Encoding != "utf-8" && *invocation.Encoding != "cp932")
        return "unknown encoding '" + *invocation.Encoding + "' (utf-8 or cp932)";
    if (invocation.Year && command != "homebank")
        return "option '--year' is for homebank, not " + command;
    if (command == "homebank" && !invocation.Year)
        return std::string("homebank needs --year YYYY, the year of the first day of the period");
    if (invocation.Year
        && (invocation.Year->size() != 4
            || !std::all_of(
                invocation.Year->begin(), invocation.Year->end(), [](char c) { return c >= '0' && c <= '9'; })
            || *invocation.Year < "1000"))
        return "year '" + *invocation.Year + "' is not a four-digit year";
    return std::nullopt;
}

void FileFailure(CommandOutput& output, const std::string& file, const std::string& reason)
{
    output.Err += "kivelo-ledger: " + file + ": " + reason + "\n";
}

// Reads one file for a command that needs its record; false after reporting why not.
bool ReadWithRecord(const std::string& file, LedgerImage& image, CommandOutput& output)
{
    if (std::optional<std::string> reason = ReadLedgerImage(file, image)) {
        FileFailure(output, file, *reason);
        return false;
    }
    if (!image.HasRecord()) {
        FileFailure(output, file, "holds no whole record (" + std::to_string(image.Size) + " bytes)");
        return false;
    }
    return true;
}

int Check(const Invocation& invocation, CommandOutput& output)
{
    int status = ExitSuccess;
    LedgerImage image;
    for (const std::string& file : invocation.Files) {
        if (std::optional<std::string> reason = ReadLedgerImage(file, image)) {
            FileFailure(output, file, *reason);
            status = ExitFailure;
            continue;
        }
        if (CheckLedger(file, image, output.Out) > 0 && status == ExitSuccess)
            status = ExitProblems;
    }
    return status;
}

int Dump(const Invocation& invocation, CommandOutput& output)
{
    LedgerImage image;
    const std::string& file = invocation.Files[0];
    if (std::optional<std::string> reason = ReadLedgerImage(file, image)) {
        FileFailure(output, file, *reason);
        return ExitFailure;
    }
    DumpLedger(image, output.Out);
    return ExitSuccess;
}

int Csv(const Invocation& invocation, CommandOutput& output)
{
    LedgerImage image;
    if (!ReadWithRecord(invocation.Files[0], image, output))
        return ExitFailure;
    CsvOfLedger(image, invocation.Encoding == std::optional<std::string>("cp932"), output.Out);
    return ExitSuccess;
}

int HomeBank(const Invocation& invocation, CommandOutput& output)
{
    LedgerImage image;
    const std::string& file = invocation.Files[0];
    if (!ReadWithRecord(file, image, output))
        return ExitFailure;
    if (std::optional<std::string> problem = HomeBankOfLedger(image, std::stoi(*invocation.Year), output.Out)) {
        FileFailure(output, file, *problem);
        return ExitFailure;
    }
    return ExitSuccess;
}

int Diff(const Invocation& invocation, CommandOutput& output)
{
    LedgerImage a;
    LedgerImage b;
    int status = ExitSuccess;
    for (size_t i = 0; i < 2; ++i)
        if (std::optional<std::string> reason = ReadLedgerImage(invocation.Files[i], i == 0 ? a : b)) {
            FileFailure(output, invocation.Files[i], *reason);
            status = ExitFailure;
        }
    if (status != ExitSuccess)
        return status;
    return DiffLedgers(a, b, output.Out) > 0 ? ExitProblems : ExitSuccess;
}

int YearOfLedgers(const Invocation& invocation, CommandOutput& output)
{
    std::vector<std::string> failures;
    Year year = ReadYear(LedgerFilesOf(invocation.Files, failures));
    failures.insert(failures.end(), year.Failures.begin(), year.Failures.end());
    for (const std::string& line : failures)
        output.Err += "kivelo-ledger: " + line + "\n";
    for (const std::string& line : year.Warnings)
        output.Err += "kivelo-ledger: " + line + "\n";
    if (!year.Columns.empty()) {
        if (invocation.Csv)
            CsvOfYear(year, invocation.Cp932 || invocation.Encoding == std::optional<std::string>("cp932"), output.Out);
        else if (invocation.Json)
            JsonOfYear(year, output.Out);
        else
            TextOfYear(year, output.Out);
    }
    if (!failures.empty())
        return ExitFailure;
    return year.Warnings.empty() ? ExitSuccess : ExitProblems;
}

} // namespace

int RunLedgerTool(const std::vector<std::string>& arguments, CommandOutput& output)
{
    if (std::find_if(
            arguments.begin(), arguments.end(), [](const std::string& a) { return a == "--help" || a == "-h"; })
        != arguments.end()) {
        output.Out += UsageText;
        return ExitSuccess;
    }
    Invocation invocation;
    std::optional<std::string> problem = ParseArguments(arguments, invocation);
    if (!problem)
        problem = CheckArity(invocation);
    if (problem) {
        output.Err += "kivelo-ledger: " + *problem + "; see 'kivelo-ledger --help'\n";
        return ExitFailure;
    }
    if (invocation.Command == "dump")
        return Dump(invocation, output);
    if (invocation.Command == "check")
        return Check(invocation, output);
    if (invocation.Command == "csv")
        return Csv(invocation, output);
    if (invocation.Command == "homebank")
        return HomeBank(invocation, output);
    if (invocation.Command == "year")
        return YearOfLedgers(invocation, output);
    if (invocation.Command == "import") {
        std::vector<std::string> statements(invocation.Files.begin() + 1, invocation.Files.end());
        return ImportStatements(invocation.Files[0], statements, invocation.Json, invocation.Into, output);
    }
    if (invocation.Command == "versions") {
        ListVersions(invocation.Files[0], output.Out);
        return ExitSuccess;
    }
    return Diff(invocation, output);
}
