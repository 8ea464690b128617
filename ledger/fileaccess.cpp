#include "ledger/fileaccess.h"

#include "toolkit/ioerror.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

template <class Transfer> ssize_t TransferAll(Transfer transfer, size_t size)
{
    size_t done = 0;
    while (done < size) {
        ssize_t moved = transfer(done, size - done);
        if (moved < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (moved == 0)
            break;
        done += static_cast<size_t>(moved);
    }
    return static_cast<ssize_t>(done);
}

// Closes a descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int value)
        : value_(value)
    {
    }
    ~Descriptor()
    {
        if (value_ >= 0)
            ::close(value_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Value() const { return value_; }

private:
    int value_;
};

} // namespace

std::string FolderOf(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FollowLinks(std::string path)
{
    constexpr int MaxLinks = 40; // the system's own limit for one name
    for (int link = 0; link < MaxLinks; ++link) {
        char target[PATH_MAX];
        ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (length <= 0)
            return path; // not a link, or nothing there: the steps that follow say what is wrong
        if (static_cast<size_t>(length) == sizeof target)
            toolkit::RaiseIoError(toolkit::IoCodeFromErrno(ENAMETOOLONG));
        std::string next(target, static_cast<size_t>(length));
        path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
    }
    toolkit::RaiseIoError(toolkit::IoCodeFromErrno(ELOOP));
}

namespace {

// The permissions the file `name` in `folder` keeps when it is replaced, or none when there is no
// such file yet. Renaming over a file needs only the folder's permission, so the file's own is
// asked for here: a file the user may not write, or anything but a regular file, is refused.
std::optional<mode_t> KeptMode(int folder, const std::string& name)
{
    struct stat existing { };
    if (::fstatat(folder, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return std::nullopt;
        toolkit::RaiseIoErrorFromErrno();
    }
    if (!S_ISREG(existing.st_mode))
        toolkit::RaiseIoError(toolkit::AccessDeniedCode);
    // Opened for writing without truncating, the file itself says whether this user may write it,
    // as the system decides (root may), and nothing in it changes.
    Descriptor probe(::openat(folder, name.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
    if (probe.Value() < 0)
        toolkit::RaiseIoErrorFromErrno();
    return existing.st_mode & 07777;
}

// A hidden name for the new content while it is put in place, unique to this process and save;
// a name that is taken all the same only means another try.
std::string TemporaryName()
{
    static unsigned saves = 0;
    return ".kivelo-save-" + std::to_string(::getpid()) + "-" + std::to_string(++saves);
}

// The moves that put a complete file in place: an unnamed file is linked under a temporary name
// first (through its /proc entry), then that name is renamed over the target. Error is 0 or the
// errno of the step that failed; a failed rename takes the temporary name away again.
struct Placement {
    char UnnamedFile[32]; // "/proc/self/fd/N", or "" when the file already has its temporary name
    int Folder;
    std::string Temporary;
    const char* Target;
    int Error;
};

int Place(void* argument)
{
    Placement& placement = *static_cast<Placement*>(argument);
    bool link = placement.UnnamedFile[0] != '\0';
    placement.Error = 0;
    if (link
        && ::linkat(AT_FDCWD, placement.UnnamedFile, placement.Folder, placement.Temporary.c_str(), AT_SYMLINK_FOLLOW)
            != 0) {
        placement.Error = errno;
    } else if (::renameat(placement.Folder, placement.Temporary.c_str(), placement.Folder, placement.Target) != 0) {
        placement.Error = errno;
        if (link)
            ::unlinkat(placement.Folder, placement.Temporary.c_str(), 0);
    }
    return 0;
}

// Runs `step` in a child that shares this process's memory, and waits for it. The child is a
// process of its own, so a kill of this process (or a crash of another of its threads) while the
// step runs does not stop the step halfway. With every signal blocked, the child never runs one of
// our handlers; SIGKILL cannot be blocked and still reaches this process. When no child can be
// had, the step runs here.
void RunBeyondAKill(int (*step)(void*), void* argument)
{
    alignas(16) unsigned char stack[16 * 1024];
    sigset_t all;
    sigset_t previous;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    pid_t child = ::clone(step, stack + sizeof stack, CLONE_VM | CLONE_VFORK | SIGCHLD, argument);
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (child < 0) {
        step(argument);
        return;
    }
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) { }
}

// The new content until it is in place: an unnamed file in the target's folder where the file
// system has them, else a hidden named one. A save that stops before the file is placed leaves
// nothing: the unnamed file goes with its descriptor, the named one is removed.
class PendingFile {
public:
    // `mode` as for a plain create: the umask (or the folder's default ACL) applies.
    PendingFile(int folder, mode_t mode)
        : folder_(folder)
    {
        descriptor_ = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (descriptor_ >= 0)
            return;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            toolkit::RaiseIoErrorFromErrno();
        // A file system without unnamed files: a kill before the rename leaves this one behind.
        do {
            name_ = TemporaryName();
            descriptor_ = ::openat(folder, name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        } while (descriptor_ < 0 && errno == EEXIST);
        if (descriptor_ < 0)
            toolkit::RaiseIoErrorFromErrno();
    }
    ~PendingFile()
    {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        if (!placed_ && !name_.empty())
            ::unlinkat(folder_, name_.c_str(), 0);
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    int Value() const { return descriptor_; }

    // Puts the complete file in place as `target`, replacing any file of that name at once.
    void PlaceAs(const std::string& target)
    {
        Placement placement { {}, folder_, name_, target.c_str(), 0 };
        if (name_.empty()) {
            // Between the link and the rename the file has a name that a kill would leave
            // behind, so both are made by a child that outlives a kill of this process.
            std::snprintf(placement.UnnamedFile, sizeof placement.UnnamedFile, "/proc/self/fd/%d", descriptor_);
            do {
                placement.Temporary = TemporaryName();
                RunBeyondAKill(Place, &placement);
            } while (placement.Error == EEXIST);
        } else {
            Place(&placement);
        }
        if (placement.Error != 0)
            toolkit::RaiseIoError(toolkit::IoCodeFromErrno(placement.Error));
        placed_ = true;
    }

    void Close()
    {
        int result = ::close(descriptor_);
        descriptor_ = -1;
        if (result != 0)
            toolkit::RaiseIoErrorFromErrno();
    }

private:
    int folder_;
    int descriptor_ = -1;
    std::string name_; // empty while the file has no name
    bool placed_ = false;
};

} // namespace

ReadOpening OpenRegularFileForReading(const std::string& path)
{
    ReadOpening opening;
    // Non-blocking, a FIFO opens at once instead of waiting for a writer; a terminal does not
    // become the program's. For a regular file the flag changes nothing.
    int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        // Only a socket, or a device without its driver, cannot even be opened for reading.
        opening.NotRegularFile = errno == ENXIO;
        opening.Error = errno;
        return opening;
    }
    struct stat status { };
    if (::fstat(descriptor, &status) != 0) {
        opening.Error = errno;
        ::close(descriptor);
        return opening;
    }
    if (!S_ISREG(status.st_mode)) {
        opening.NotRegularFile = true;
        ::close(descriptor);
        return opening;
    }
    opening.Descriptor = descriptor;
    opening.Size = static_cast<uint64_t>(status.st_size);
    return opening;
}

ssize_t ReadFully(int descriptor, unsigned char* buffer, size_t size)
{
    return TransferAll([&](size_t done, size_t left) { return ::read(descriptor, buffer + done, left); }, size);
}

ssize_t WriteFully(int descriptor, const unsigned char* bytes, size_t size)
{
    return TransferAll([&](size_t done, size_t left) { return ::write(descriptor, bytes + done, left); }, size);
}

void ReplaceFileContent(const std::string& path, const unsigned char* bytes, size_t size,
    const std::function<void(const std::string& target)>& beforeReplacing)
{
    std::string target = FollowLinks(path);
    Descriptor folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Value() < 0) {
        // A folder that is not there makes the whole name invalid, as the runtime says of a path it
        // cannot find; "not found" is for a file missing from a folder that exists.
        toolkit::RaiseIoError(errno == ENOENT ? toolkit::InvalidFileNameCode : toolkit::IoCodeFromErrno(errno));
    }
    std::string name = NameOf(target);
    std::optional<mode_t> keptMode = KeptMode(folder.Value(), name);
    PendingFile file(folder.Value(), 0666);
    ssize_t written = WriteFully(file.Value(), bytes, size);
    if (written < 0)
        toolkit::RaiseIoErrorFromErrno();
    if (static_cast<size_t>(written) < size)
        toolkit::RaiseIoError(toolkit::DiskFullCode);
    if ((keptMode && ::fchmod(file.Value(), *keptMode) != 0) || ::fsync(file.Value()) != 0)
        toolkit::RaiseIoErrorFromErrno();
    if (beforeReplacing)
        beforeReplacing(target);
    file.PlaceAs(name);
    file.Close();
    // The rename is only lasting once the folder is on disk too.
    if (::fsync(folder.Value()) != 0)
        toolkit::RaiseIoErrorFromErrno();
}
