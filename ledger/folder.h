// The ledgers of one folder, as the views over many months find them: the year view, the
// statement import's learning and the companion's folders. Only names are read here.
#pragma once

#include <optional>
#include <string>
#include <vector>

// A ledger file's name ends in ".ZMR", in any case.
bool IsLedgerName(const std::string& name);

// The ledger files of `folder` (folder + "/" + name), in name order. Returns why the folder
// cannot be listed, in the C library's words.
std::optional<std::string> LedgerFilesIn(const std::string& folder, std::vector<std::string>& files);
