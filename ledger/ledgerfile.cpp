#include "ledger/ledgerfile.h"

#include "ledger/record.h"
#include "toolkit/ioerror.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads or writes all of `size` bytes, going on after interruptions; returns the bytes moved,
// or -1 with errno set.
template <class Transfer>
ssize_t TransferAll(Transfer transfer, size_t size)
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

std::string Folder(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

LedgerFile::~LedgerFile()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

void LedgerFile::OpenForReading(const std::string& path)
{
    descriptor_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor_ < 0)
        toolkit::RaiseIoErrorFromErrno();
    struct stat status {};
    if (::fstat(descriptor_, &status) == 0 && S_ISDIR(status.st_mode)) {
        Close();
        toolkit::RaiseIoError(toolkit::IoCodeFromErrno(EISDIR));
    }
}

bool LedgerFile::AtEnd()
{
    off_t here = ::lseek(descriptor_, 0, SEEK_CUR);
    struct stat status {};
    if (here < 0 || ::fstat(descriptor_, &status) != 0)
        toolkit::RaiseIoErrorFromErrno();
    return here >= status.st_size;
}

void LedgerFile::ReadRecord()
{
    ssize_t read = TransferAll(
        [this](size_t done, size_t left) { return ::read(descriptor_, LedgerRecord + done, left); }, RecordSize);
    if (read < 0)
        toolkit::RaiseIoErrorFromErrno();
    if (static_cast<size_t>(read) < RecordSize)
        toolkit::RaiseIoError(toolkit::ReadPastEndCode);
}

void LedgerFile::Close()
{
    if (descriptor_ < 0)
        return;
    int result = ::close(descriptor_);
    descriptor_ = -1;
    if (result != 0)
        toolkit::RaiseIoErrorFromErrno();
}

void WriteLedgerFile(const std::string& path)
{
    std::string temporary = Folder(path) + "/.kivelo-save-XXXXXX";
    int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0)
        toolkit::RaiseIoErrorFromErrno();
    auto fail = [&](int code) {
        ::close(descriptor);
        ::unlink(temporary.c_str());
        toolkit::RaiseIoError(code);
    };
    ssize_t written = TransferAll(
        [descriptor](size_t done, size_t left) { return ::write(descriptor, LedgerRecord + done, left); }, RecordSize);
    if (written < 0)
        fail(toolkit::IoCodeFromErrno(errno));
    if (static_cast<size_t>(written) < RecordSize)
        fail(toolkit::DiskFullCode);
    // A new file gets the permissions a plain create would give it.
    mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat existing {};
    mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : (0666 & ~mask);
    if (::fchmod(descriptor, mode) != 0 || ::fsync(descriptor) != 0)
        fail(toolkit::IoCodeFromErrno(errno));
    if (::close(descriptor) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        toolkit::RaiseIoError(toolkit::IoCodeFromErrno(error));
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        toolkit::RaiseIoError(toolkit::IoCodeFromErrno(error));
    }
}
