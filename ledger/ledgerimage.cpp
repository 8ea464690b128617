#include "ledger/ledgerimage.h"

#include "ledger/fileaccess.h"

#include <cerrno>
#include <cstring>
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
    ReadOpening opening = OpenRegularFileForReading(path);
    if (opening.NotRegularFile)
        return std::string("not a regular file");
    Descriptor file { opening.Descriptor };
    if (file.Value < 0)
        return std::string(std::strerror(opening.Error));
    image.Size = opening.Size;
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
