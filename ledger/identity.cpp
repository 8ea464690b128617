#include "ledger/identity.h"

#include "ledger/fileaccess.h"
#include "ledger/record.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file larger than this is hashed by its last whole record, the one the window reads, and its
// size: no save of the program's makes such a file.
constexpr uint64_t WholeHashLimit = 8 << 20;

// FNV-1a over the bytes read from `descriptor` at `offset`, eight at a time.
uint64_t HashOfBytes(int descriptor, uint64_t offset, uint64_t size)
{
    constexpr size_t BlockSize = 1 << 16;
    std::unique_ptr<unsigned char[]> block(new unsigned char[BlockSize]());
    uint64_t hash = 14695981039346656037ull ^ size;
    for (uint64_t done = 0; done < size;) {
        size_t want = size_t(std::min<uint64_t>(BlockSize, size - done));
        ssize_t read = ::pread(descriptor, block.get(), want, off_t(offset + done));
        if (read <= 0)
            break;
        std::fill(block.get() + read, block.get() + ((read + 7) & ~ssize_t(7)), 0);
        for (ssize_t i = 0; i < read; i += 8) {
            uint64_t word;
            std::memcpy(&word, block.get() + i, sizeof word);
            hash = (hash ^ word) * 1099511628211ull;
        }
        done += uint64_t(read);
    }
    return hash;
}

uint64_t HashOfFile(int descriptor, uint64_t size)
{
    if (size <= WholeHashLimit)
        return HashOfBytes(descriptor, 0, size);
    uint64_t last = size / RecordSize * RecordSize;
    return HashOfBytes(descriptor, last >= RecordSize ? last - RecordSize : 0, RecordSize) ^ size;
}

} // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path)
{
    ReadOpening opening = OpenRegularFileForReading(path);
    if (opening.Descriptor < 0)
        return std::nullopt;
    struct stat status { };
    std::optional<FileIdentity> identity;
    if (::fstat(opening.Descriptor, &status) == 0)
        identity = FileIdentity { uint64_t(status.st_dev), uint64_t(status.st_ino), uint64_t(status.st_size),
            int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec,
            HashOfFile(opening.Descriptor, uint64_t(status.st_size)) };
    ::close(opening.Descriptor);
    return identity;
}

bool SameFile(const FileIdentity& before, const FileIdentity& now)
{
    if (before.Device != now.Device || before.Inode != now.Inode || before.Size != now.Size)
        return false;
    return before.ModifiedNanoseconds == now.ModifiedNanoseconds || before.Hash == now.Hash;
}
