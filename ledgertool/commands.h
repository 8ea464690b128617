// The commands of kivelo-ledger, the command-line companion that reads, checks and exports
// ledger files. Each command works on LedgerImage copies and writes its output into strings; it
// never touches the program's tables or LedgerRecord, and nothing here needs a window.
#pragma once

#include "ledger/ledgerimage.h"

#include <optional>
#include <string>
#include <vector>

constexpr int ExitSuccess = 0;
constexpr int ExitProblems = 1; // check found problems, diff found differences
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
