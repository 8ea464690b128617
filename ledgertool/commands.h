// The commands of kivelo-ledger, the command-line companion that reads, checks and exports
// ledger files. Each command works on LedgerImage copies and writes its output into strings; it
// never touches the program's tables or LedgerRecord, and nothing here needs a window.
#pragma once

#include "ledger/ledgerimage.h"
#include "ledger/year.h"

#include <optional>
#include <string>
#include <vector>

constexpr int ExitSuccess = 0;
constexpr int ExitProblems = 1; // check found problems, diff found differences, year marked a figure
constexpr int ExitFailure = 2; // bad usage, an unreadable file, data an export cannot take

struct CommandOutput {
    std::string Out;
    std::string Err; // one line per failure: "kivelo-ledger: FILE: reason"
};

// Runs the command line without the program name (`check a.ZMR b.ZMR`) and returns the exit
// status. Only the main function writes the output anywhere.
int RunLedgerTool(const std::vector<std::string>& arguments, CommandOutput& output);

// dump: the last record as UTF-8 JSON, empty slots left out.
void DumpLedger(const LedgerImage& image, std::string& out);

// check: one line per problem, "NAME: where: what"; returns how many it found.
int CheckLedger(const std::string& name, const LedgerImage& image, std::string& out);

// csv: one RFC 4180 line per detail item with a name or an amount, CR LF line ends, in UTF-8
// or, with `cp932`, in Shift-JIS.
void CsvOfLedger(const LedgerImage& image, bool cp932, std::string& out);

// homebank: the items in HomeBank's transaction import format, dated from the day labels and
// `year`. Returns the reason when the ledger cannot be exported ("daily table (5, 0): ...").
std::optional<std::string> HomeBankOfLedger(const LedgerImage& image, int year, std::string& out);

// diff: one line per slot whose text differs, "where: "a" -> "b""; returns how many.
int DiffLedgers(const LedgerImage& a, const LedgerImage& b, std::string& out);

// versions: one line per version of the ledger FILE, newest first: "2026-12-09 16:15:00  支出計 9200
// 計算残高 240800  PATH", in UTF-8; nothing when it has none.
void ListVersions(const std::string& file, std::string& out);

// import: the statements planned into `ledger`'s month, printed as text or, with `json`, as a JSON
// array of objects (file, line, date, column, category, name, amount, state, bank, rule); with
// `into`, the new rows placed and confirmed into a new ledger file. Returns the exit status.
int ImportStatements(const std::string& ledger, const std::vector<std::string>& statements, bool json,
    const std::optional<std::string>& into, CommandOutput& output);

// year: the arguments with every folder replaced by its ledger files (names ending in ".ZMR" in
// any case), in name order. A folder that cannot be listed or holds no ledger adds a line
// "FOLDER: reason" to `failures`.
std::vector<std::string> LedgerFilesOf(const std::vector<std::string>& arguments, std::vector<std::string>& failures);

// year: the table with a heading line (the files without their folders, then "total"), a line of
// the months and one line per figure, each a figure's name, its category and one value per
// column, then the total; a marked value reads "??". As text aligned in columns, East Asian wide
// characters counting two; as CSV with CR LF line ends, in UTF-8 or, with `cp932`, Shift-JIS.
void TextOfYear(const Year& year, std::string& out);
void CsvOfYear(const Year& year, bool cp932, std::string& out);
// year: the columns (file as given, month), the rows with their values (null when marked) and
// totals, and the warnings, as UTF-8 JSON.
void JsonOfYear(const Year& year, std::string& out);
