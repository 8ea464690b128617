#include "ledger/folder.h"

#include <algorithm>
#include <filesystem>

bool IsLedgerName(const std::string& name)
{
    if (name.size() < 4)
        return false;
    std::string extension = name.substr(name.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
    return extension == ".ZMR";
}

std::optional<std::string> LedgerFilesIn(const std::string& folder, std::vector<std::string>& files)
{
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<std::string> found;
    for (fs::directory_iterator entry(folder, error); !error && entry != fs::directory_iterator(); entry.increment(error))
        if (IsLedgerName(entry->path().filename().string()))
            found.push_back(entry->path().string());
    if (error)
        return error.message();
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
    return std::nullopt;
}
