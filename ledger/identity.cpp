#include "ledger/identity.h"

#include "ledger/fileaccess.h"
#include "ledger/record.h"

#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file larger than this is hashed by its last whole record, the one the window reads: no save of
// the program's makes such a file.
constexpr uint64_t WholeHashLimit = 8 << 20;

// FNV-1a over the bytes eight at a time in four lanes, so that the multiplications of the lanes
// overlap; the last bytes padded with zeros; then the lanes and the size.
uint64_t HashOfBytes(std::string_view bytes)
{
    constexpr uint64_t Prime = 1099511628211ull;
    uint64_t lanes[4] = { 14695981039346656037ull, 1, 2, 3 };
    size_t at = 0;
    for (; at + 32 <= bytes.size(); at += 32)
        for (int lane = 0; lane < 4; ++lane) {
            uint64_t word;
            std::memcpy(&word, bytes.data() + at + 8 * lane, sizeof word);
            lanes[lane] = (lanes[lane] ^ word) * Prime;
        }
    unsigned char last[32] = {};
    std::memcpy(last, bytes.data() + at, bytes.size() - at);
    uint64_t hash = bytes.size();
    for (int lane = 0; lane < 4; ++lane) {
        uint64_t word;
        std::memcpy(&word, last + 8 * lane, sizeof word);
        hash = (hash ^ ((lanes[lane] ^ word) * Prime)) * Prime;
    }
    return hash;
}

// The bytes that the hash covers: the whole file, or its last whole record and its size.
std::optional<uint64_t> HashOfFile(int descriptor, uint64_t size)
{
    uint64_t from = 0;
    uint64_t length = size;
    if (size > WholeHashLimit) {
        uint64_t records = size / RecordSize;
        from = records > 0 ? (records - 1) * RecordSize : 0;
        length = std::min<uint64_t>(RecordSize, size - from);
    }
    std::string bytes(size_t(length), '\0');
    for (size_t done = 0; done < bytes.size();) {
        ssize_t read = ::pread(descriptor, bytes.data() + done, bytes.size() - done, off_t(from + done));
        if (read <= 0)
            return std::nullopt;
        done += size_t(read);
    }
    return HashOfBytes(bytes) ^ (size > WholeHashLimit ? size : 0);
}

FileIdentity IdentityOfStatus(const struct stat& status, uint64_t hash)
{
    return { uint64_t(status.st_dev), uint64_t(status.st_ino), uint64_t(status.st_size),
        int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec, hash };
}

} // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path, std::string_view bytes)
{
    ReadOpening opening = OpenRegularFileForReading(path);
    if (opening.Descriptor < 0)
        return std::nullopt;
    struct stat status { };
    std::optional<FileIdentity> identity;
    if (::fstat(opening.Descriptor, &status) == 0) {
        std::optional<uint64_t> hash = !bytes.empty() && uint64_t(status.st_size) == bytes.size()
            ? std::optional<uint64_t>(HashOfBytes(bytes))
            : HashOfFile(opening.Descriptor, uint64_t(status.st_size));
        if (hash)
            identity = IdentityOfStatus(status, *hash);
    }
    ::close(opening.Descriptor);
    return identity;
}

bool StillTheSame(const FileIdentity& before, const std::string& path)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return false;
    FileIdentity now = IdentityOfStatus(status, before.Hash);
    if (now.Device != before.Device || now.Inode != before.Inode || now.Size != before.Size)
        return false;
    if (now.ModifiedNanoseconds == before.ModifiedNanoseconds)
        return true;
    std::optional<FileIdentity> read = IdentityOf(path);
    return read && read->Hash == before.Hash;
}
