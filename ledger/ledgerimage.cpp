#include "ledger/ledgerimage.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

LedgerImage::LedgerImage()
    : Record(new unsigned char[RecordSize]())
{
}

namespace {

// Closes the descriptor on every way out of ReadLedgerImage.
struct Descriptor {
    int Value;
    ~Descriptor()
    {
        if (Value >= 0)
            ::close(Value);
    }
};

} // namespace

std::optional<std::string> ReadLedgerImage(const std::string& path, LedgerImage& image)
{
    Descriptor file { ::open(path.c_str(), O_RDONLY | O_CLOEXEC) };
    if (file.Value < 0)
        return std::string(std::strerror(errno));
    struct stat status { };
    if (::fstat(file.Value, &status) != 0)
        return std::string(std::strerror(errno));
    if (S_ISDIR(status.st_mode))
        return std::string(std::strerror(EISDIR));
    image.Size = static_cast<uint64_t>(status.st_size);
    image.Records = image.Size / RecordSize;
    image.TrailingBytes = image.Size % RecordSize;
    if (!image.HasRecord())
        return std::nullopt;
    // Only the last whole record counts: a file of several records loads each in turn.
    off_t offset = static_cast<off_t>((image.Records - 1) * RecordSize);
    size_t done = 0;
    while (done < RecordSize) {
        ssize_t got = ::pread(file.Value, image.Record.get() + done, RecordSize - done, offset + off_t(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::string(std::strerror(errno));
        if (got == 0)
            return std::string("the file became shorter while it was read");
        done += static_cast<size_t>(got);
    }
    return std::nullopt;
}
