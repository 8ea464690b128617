#include "ledger/versions.h"

#include "ledger/fileaccess.h"
#include "ledger/ledgerimage.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::function<std::time_t()> testClock;

constexpr std::time_t Day = 24 * 60 * 60;
constexpr std::time_t RecentAge = 7 * Day;
constexpr size_t MostRecent = 100;
constexpr int DailyMonths = 3;
constexpr size_t StampLength = 15;  // YYYYMMDD-HHMMSS

// "2024-12" for "2024-12.ZMR" (the extension in any case); a name without it stays whole.
std::string BaseOf(const std::string& name)
{
    if (name.size() > 4) {
        std::string extension = name.substr(name.size() - 4);
        std::transform(extension.begin(), extension.end(), extension.begin(), ::toupper);
        if (extension == ".ZMR")
            return name.substr(0, name.size() - 4);
    }
    return name;
}

std::string VersionsFolderOf(const std::string& ledger) { return FolderOf(ledger) + "/" + VersionsFolderName; }

// YYYYMMDDHHMMSS of a time, in local time.
long long Saved(std::time_t time)
{
    std::tm local {};
    ::localtime_r(&time, &local);
    return ((((local.tm_year + 1900LL) * 100 + local.tm_mon + 1) * 100 + local.tm_mday) * 100 + local.tm_hour) * 10000
        + local.tm_min * 100 + local.tm_sec;
}

// "20261209-161500" of the name.
std::string Stamp(long long saved)
{
    char text[32];
    std::snprintf(text, sizeof text, "%08lld-%06lld", saved / 1000000, saved % 1000000);
    return text;
}

// When the version named `file` of `base` was saved, or -1 when it is no such name.
long long SavedOfVersionName(const std::string& file, const std::string& base)
{
    std::string prefix = base + ".";
    const std::string extension = ".ZMR";
    if (file.size() < prefix.size() + StampLength + extension.size() || file.compare(0, prefix.size(), prefix) != 0
        || file.compare(file.size() - extension.size(), extension.size(), extension) != 0)
        return -1;
    std::string rest = file.substr(prefix.size(), file.size() - prefix.size() - extension.size());
    if (rest.size() < StampLength || rest[8] != '-')
        return -1;
    long long saved = 0;
    for (size_t at = 0; at < StampLength; ++at) {
        if (at == 8)
            continue;
        if (rest[at] < '0' || rest[at] > '9')
            return -1;
        saved = saved * 10 + (rest[at] - '0');
    }
    // A second version within the same second: "-2", "-3", ...
    std::string count = rest.substr(StampLength);
    if (!count.empty() && (count[0] != '-' || count.size() < 2 || count.find_first_not_of("0123456789", 1) != std::string::npos))
        return -1;
    return saved;
}

// 1 for "….20261209-161500.ZMR", n for "….20261209-161500-n.ZMR".
int CountOfVersionName(const std::string& path)
{
    std::string::size_type end = path.size() - 4;  // before ".ZMR"
    std::string::size_type dash = path.rfind('-', end);
    std::string::size_type stamp = path.rfind('.', end - 1);
    if (dash == std::string::npos || stamp == std::string::npos || dash - stamp - 1 < StampLength)
        return 1;
    return std::atoi(path.c_str() + dash + 1);
}

// The ledger's file once symbolic links are followed, where its versions are kept; the name as it
// is when it cannot be followed.
std::string LedgerTarget(const std::string& path)
{
    try {
        return FollowLinks(path);
    } catch (...) {
        return path;
    }
}

struct Descriptor {
    int Value;
    ~Descriptor()
    {
        if (Value >= 0)
            ::close(Value);
    }
};

// A complete copy of `from` as `to`, for a file system that gives no second name to a file: the
// copy has its name only once it is complete.
int CopyFile(const std::string& from, const std::string& to)
{
    Descriptor source { ::open(from.c_str(), O_RDONLY | O_CLOEXEC) };
    struct stat status { };
    if (source.Value < 0 || ::fstat(source.Value, &status) != 0)
        return errno;
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size_t(status.st_size) + 1]);
    ssize_t read = ReadFully(source.Value, bytes.get(), size_t(status.st_size));
    if (read < 0)
        return errno;
    errno = 0;
    try {
        ReplaceFileContent(to, bytes.get(), size_t(read));
    } catch (...) {
        return errno != 0 ? errno : EIO;
    }
    return 0;
}

} // namespace

std::time_t VersionClock() { return testClock ? testClock() : std::time(nullptr); }

void SetVersionClockForTest(std::function<std::time_t()> clock) { testClock = std::move(clock); }

std::vector<LedgerVersion> VersionsOf(const std::string& path)
{
    std::string target = LedgerTarget(path);
    std::string folder = VersionsFolderOf(target);
    std::string base = BaseOf(NameOf(target));
    std::vector<LedgerVersion> versions;
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
    if (!listing)
        return versions;
    while (dirent* entry = ::readdir(listing.get())) {
        long long saved = SavedOfVersionName(entry->d_name, base);
        if (saved != -1)
            versions.push_back({ folder + "/" + entry->d_name, saved });
    }
    // Newest first; within one second the later count first.
    std::sort(versions.begin(), versions.end(), [](const LedgerVersion& a, const LedgerVersion& b) {
        if (a.Saved != b.Saved)
            return a.Saved > b.Saved;
        if (a.Path.size() != b.Path.size())
            return a.Path.size() > b.Path.size();
        return a.Path > b.Path;
    });
    return versions;
}

int KeepVersion(const std::string& target)
{
    struct stat status { };
    if (::lstat(target.c_str(), &status) != 0)
        return errno == ENOENT ? 0 : errno;
    if (!S_ISREG(status.st_mode))
        return 0;
    std::string folder = VersionsFolderOf(target);
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
        return errno;
    std::string base = BaseOf(NameOf(target));
    long long saved = Saved(status.st_mtime);
    std::string stem = folder + "/" + base + "." + Stamp(saved);
    for (int count = 1;; ++count) {
        std::string version = stem + (count > 1 ? "-" + std::to_string(count) : std::string()) + ".ZMR";
        if (::link(target.c_str(), version.c_str()) == 0)
            break;
        if (errno == EEXIST && count == 1) {
            // After the versions saved within the same second, whichever of them thinning removed.
            for (const LedgerVersion& kept : VersionsOf(target))
                if (kept.Saved == saved)
                    count = std::max(count, CountOfVersionName(kept.Path));
            continue;
        }
        if (errno == EEXIST)
            continue;
        if (errno != EPERM && errno != EXDEV && errno != EMLINK && errno != EOPNOTSUPP)
            return errno;
        struct stat taken { };
        if (::lstat(version.c_str(), &taken) == 0)
            continue;
        if (int copied = CopyFile(target, version))
            return copied;
        break;
    }
    // The new name goes to disk with the save's own flush of its folder, which a journal commits
    // together with it.
    return 0;
}

std::vector<VersionSummary> SummariesOfVersions(const std::string& path)
{
    std::vector<VersionSummary> summaries;
    LedgerImage image;
    for (const LedgerVersion& version : VersionsOf(path)) {
        VersionSummary summary { version, {}, {} };
        if (!ReadLedgerImage(version.Path, image) && image.HasRecord()) {
            summary.Spending = image.Text(DailyArea, 1, 18);
            summary.Balance = image.Text(StatusArea, 1, 1);
        }
        summaries.push_back(std::move(summary));
    }
    return summaries;
}

std::string VersionTimeText(long long saved)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", saved / 10000000000, saved / 100000000 % 100,
        saved / 1000000 % 100, saved / 10000 % 100, saved / 100 % 100, saved % 100);
    return text;
}

std::vector<bool> VersionsToKeep(const std::vector<LedgerVersion>& versions, std::time_t now)
{
    // The limits as the versions' names give times: the local time a week ago and 3 months ago.
    long long recentSince = Saved(now - RecentAge);
    std::tm limit {};
    ::localtime_r(&now, &limit);
    limit.tm_mon -= DailyMonths;
    limit.tm_isdst = -1;
    long long dailySince = Saved(std::mktime(&limit));
    std::vector<bool> keep(versions.size(), false);
    size_t recent = 0;
    std::set<long long> days;
    std::set<long long> months;
    for (size_t i = 0; i < versions.size(); ++i) {
        long long saved = versions[i].Saved;
        if (saved >= recentSince) {
            keep[i] = recent++ < MostRecent;
            continue;
        }
        // Newest first: the first version seen of a day or a month is its last.
        if (saved >= dailySince)
            keep[i] = days.insert(saved / 1000000).second;
        else
            keep[i] = months.insert(saved / 100000000).second;
    }
    return keep;
}

void ThinVersions(const std::string& path)
{
    std::vector<LedgerVersion> versions = VersionsOf(path);
    std::vector<bool> keep = VersionsToKeep(versions, VersionClock());
    for (size_t i = 0; i < versions.size(); ++i)
        if (!keep[i])
            ::unlink(versions[i].Path.c_str());
}
