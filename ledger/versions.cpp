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

std::string Stamp(std::time_t time)
{
    std::tm local {};
    ::localtime_r(&time, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// The time in the name `file` of a version of `base`, or -1 when it is no such name.
std::time_t TimeOfVersionName(const std::string& file, const std::string& base)
{
    std::string prefix = base + ".";
    const std::string extension = ".ZMR";
    if (file.size() < prefix.size() + StampLength + extension.size() || file.compare(0, prefix.size(), prefix) != 0
        || file.compare(file.size() - extension.size(), extension.size(), extension) != 0)
        return -1;
    std::string rest = file.substr(prefix.size(), file.size() - prefix.size() - extension.size());
    std::tm local {};
    char dash = 0;
    int consumed = 0;
    if (std::sscanf(rest.c_str(), "%4d%2d%2d%c%2d%2d%2d%n", &local.tm_year, &local.tm_mon, &local.tm_mday, &dash,
            &local.tm_hour, &local.tm_min, &local.tm_sec, &consumed)
            != 7
        || dash != '-' || consumed != int(StampLength))
        return -1;
    // A second version within the same second: "-2", "-3", ...
    std::string count = rest.substr(StampLength);
    if (!count.empty() && (count[0] != '-' || count.size() < 2 || count.find_first_not_of("0123456789", 1) != std::string::npos))
        return -1;
    local.tm_year -= 1900;
    local.tm_mon -= 1;
    local.tm_isdst = -1;
    return std::mktime(&local);
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
        std::time_t time = TimeOfVersionName(entry->d_name, base);
        if (time != -1)
            versions.push_back({ folder + "/" + entry->d_name, time });
    }
    // Newest first; within one second the later count first.
    std::sort(versions.begin(), versions.end(), [](const LedgerVersion& a, const LedgerVersion& b) {
        if (a.Time != b.Time)
            return a.Time > b.Time;
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
    std::time_t saved = status.st_mtime;
    std::string stem = folder + "/" + base + "." + Stamp(saved);
    // After the versions saved within the same second, whichever of them thinning has removed.
    int count = 1;
    for (const LedgerVersion& version : VersionsOf(target))
        if (version.Time == saved)
            count = std::max(count, CountOfVersionName(version.Path) + 1);
    for (;; ++count) {
        std::string version = stem + (count > 1 ? "-" + std::to_string(count) : std::string()) + ".ZMR";
        if (::link(target.c_str(), version.c_str()) == 0)
            break;
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
    // The new name is only lasting once the folder is on disk.
    Descriptor versions { ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) };
    return versions.Value >= 0 && ::fsync(versions.Value) == 0 ? 0 : errno;
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

std::string VersionTimeText(std::time_t time)
{
    std::tm local {};
    ::localtime_r(&time, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::vector<bool> VersionsToKeep(const std::vector<LedgerVersion>& versions, std::time_t now)
{
    std::tm limit {};
    ::localtime_r(&now, &limit);
    limit.tm_mon -= DailyMonths;
    limit.tm_isdst = -1;
    std::time_t dailySince = std::mktime(&limit);
    std::vector<bool> keep(versions.size(), false);
    size_t recent = 0;
    std::set<int> days;
    std::set<int> months;
    for (size_t i = 0; i < versions.size(); ++i) {
        std::time_t time = versions[i].Time;
        if (now - time <= RecentAge) {
            keep[i] = recent++ < MostRecent;
            continue;
        }
        std::tm local {};
        ::localtime_r(&time, &local);
        // Newest first: the first version seen of a day or a month is its last.
        if (time >= dailySince)
            keep[i] = days.insert((local.tm_year * 100 + local.tm_mon) * 100 + local.tm_mday).second;
        else
            keep[i] = months.insert(local.tm_year * 100 + local.tm_mon).second;
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
