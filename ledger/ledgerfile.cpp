#include "ledger/ledgerfile.h"

#include "ledger/fileaccess.h"
#include "ledger/record.h"
#include "ledger/versions.h"
#include "toolkit/ioerror.h"

#include <cstdint>
#include <sys/stat.h>
#include <unistd.h>

LedgerFile::~LedgerFile()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

void LedgerFile::OpenForReading(const std::string& path)
{
    ReadOpening opening = OpenRegularFileForReading(path);
    if (opening.NotRegularFile)
        toolkit::RaiseIoError(toolkit::AccessDeniedCode);
    if (opening.Descriptor < 0)
        toolkit::RaiseIoError(toolkit::IoCodeFromErrno(opening.Error));
    descriptor_ = opening.Descriptor;
    // The records before the last whole one would only be overwritten by it.
    uint64_t wholeRecords = opening.Size / RecordSize;
    if (wholeRecords > 1 && ::lseek(descriptor_, off_t((wholeRecords - 1) * RecordSize), SEEK_SET) < 0)
        toolkit::RaiseIoErrorFromErrno();
}

bool LedgerFile::AtEnd()
{
    off_t here = ::lseek(descriptor_, 0, SEEK_CUR);
    struct stat status { };
    if (here < 0 || ::fstat(descriptor_, &status) != 0)
        toolkit::RaiseIoErrorFromErrno();
    return here >= status.st_size;
}

void LedgerFile::ReadRecord()
{
    ssize_t read = ReadFully(descriptor_, LedgerRecord, RecordSize);
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

int WriteLedgerFile(const std::string& path)
{
    int versionError = 0;
    std::string replaced;
    ReplaceFileContent(path, LedgerRecord, RecordSize, [&](const std::string& target) {
        versionError = KeepVersion(target);
        replaced = target;
    });
    ThinVersions(replaced);
    return versionError;
}
