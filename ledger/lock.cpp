#include "ledger/lock.h"

#include "ledger/fileaccess.h"
#include "ledger/host.h"

#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace {

struct LockContent {
    LockHolder Holder;
    std::string Boot;
};

// "user,host,process,since,boot" on one line; none when the file is not there or not a lock.
std::optional<LockContent> ReadLock(const std::string& lockFile)
{
    ReadOpening opening = OpenRegularFileForReading(lockFile);
    if (opening.Descriptor < 0)
        return std::nullopt;
    unsigned char bytes[1024];
    ssize_t read = ReadFully(opening.Descriptor, bytes, sizeof bytes - 1);
    ::close(opening.Descriptor);
    if (read <= 0)
        return std::nullopt;
    std::vector<std::string> fields;
    std::stringstream line(std::string(reinterpret_cast<char*>(bytes), size_t(read)).substr(0, size_t(read)));
    for (std::string field; std::getline(line, field, ',');)
        fields.push_back(field);
    if (fields.size() < 5)
        return std::nullopt;
    while (!fields[4].empty() && (fields[4].back() == '\n' || fields[4].back() == '\r'))
        fields[4].pop_back();
    LockContent content { { fields[0], fields[1], ProcessFromText(fields[2]), std::time_t(std::atoll(fields[3].c_str())) },
        fields[4] };
    return content;
}

// A lock of this host whose process is no more, since this boot or before it.
bool Stale(const LockContent& lock) { return !MayBeRunning(lock.Holder.Process, lock.Holder.Host, lock.Boot); }

bool Ours(const LockContent& lock)
{
    return lock.Holder.Host == HostName() && lock.Boot == BootId() && lock.Holder.Process.Number == ThisProcess().Number;
}

} // namespace

std::string LockFileOf(const std::string& path)
{
    std::string target = path;
    try {
        target = FollowLinks(path);
    } catch (...) {
    }
    return FolderOf(target) + "/.~lock." + NameOf(target) + "#";
}

std::optional<LockHolder> OtherLockHolder(const std::string& path)
{
    std::optional<LockContent> lock = ReadLock(LockFileOf(path));
    if (!lock || Stale(*lock) || Ours(*lock))
        return std::nullopt;
    return lock->Holder;
}

void LedgerLock::Take(const std::string& path)
{
    std::string lockFile = LockFileOf(path);
    if (lockFile == lockFile_)
        return;
    Release();
    if (std::optional<LockContent> lock = ReadLock(lockFile)) {
        if (!Stale(*lock))
            return;  // another's, which it keeps
        ::unlink(lockFile.c_str());
    }
    int descriptor = ::open(lockFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return;  // a folder that takes no lock, or another that took it just now
    std::string line = UserName() + "," + HostName() + "," + ProcessText(ThisProcess()) + ","
        + std::to_string(std::time(nullptr)) + "," + BootId() + "\n";
    bool written = WriteFully(descriptor, reinterpret_cast<const unsigned char*>(line.data()), line.size())
        == ssize_t(line.size());
    ::close(descriptor);
    if (written)
        lockFile_ = lockFile;
    else
        ::unlink(lockFile.c_str());
}

void LedgerLock::Release()
{
    if (lockFile_.empty())
        return;
    std::optional<LockContent> lock = ReadLock(lockFile_);
    if (lock && Ours(*lock))
        ::unlink(lockFile_.c_str());
    lockFile_.clear();
}
