#include "ledger/recovery.h"

#include "ledger/fileaccess.h"
#include "ledger/host.h"
#include "ledger/record.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string Magic = "KIVELO-RECOVERY 1\n";
const std::string Prefix = "recovery-";
const std::string Suffix = ".kivelo";

// The fields one after another, each its length in four bytes (least significant first), then its
// bytes.
void Put(std::string& out, const std::string& field)
{
    uint32_t size = uint32_t(field.size());
    for (int byte = 0; byte < 4; ++byte)
        out += char((size >> (8 * byte)) & 0xff);
    out += field;
}

class Fields {
public:
    explicit Fields(const std::string& bytes)
        : bytes_(bytes)
        , at_(Magic.size())
    {
    }
    std::optional<std::string> Next()
    {
        if (at_ + 4 > bytes_.size())
            return std::nullopt;
        uint32_t size = 0;
        for (int byte = 0; byte < 4; ++byte)
            size |= uint32_t(static_cast<unsigned char>(bytes_[at_ + size_t(byte)])) << (8 * byte);
        at_ += 4;
        if (at_ + size > bytes_.size())
            return std::nullopt;
        std::string field = bytes_.substr(at_, size);
        at_ += size;
        return field;
    }

private:
    const std::string& bytes_;
    size_t at_;
};

void MakeFolders(const std::string& folder)
{
    for (size_t slash = 1; slash != std::string::npos; slash = folder.find('/', slash + 1))
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
    ::mkdir(folder.c_str(), 0700);
}

std::string ReadWhole(const std::string& path)
{
    ReadOpening opening = OpenRegularFileForReading(path);
    if (opening.Descriptor < 0)
        return {};
    std::string bytes(size_t(opening.Size), '\0');
    ssize_t read = ReadFully(opening.Descriptor, reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    ::close(opening.Descriptor);
    bytes.resize(read < 0 ? 0 : size_t(read));
    return bytes;
}

} // namespace

std::string RecoveryFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/kivelo";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/state/kivelo";
}

std::string OwnRecoveryFile() { return RecoveryFolder() + "/" + Prefix + std::to_string(::getpid()) + Suffix; }

void WriteRecovery(const std::string& path, Recovery recovery)
{
    if (recovery.Process.Number == 0) {
        recovery.Process = ThisProcess();
        recovery.Host = HostName();
        recovery.Boot = BootId();
    }
    std::string bytes = Magic;
    Put(bytes, recovery.Host);
    Put(bytes, recovery.Boot);
    Put(bytes, ProcessText(recovery.Process));
    Put(bytes, std::to_string(recovery.Changed));
    Put(bytes, recovery.Ledger);
    const std::optional<FileIdentity>& identity = recovery.LedgerIdentity;
    Put(bytes, identity ? std::to_string(identity->Device) + " " + std::to_string(identity->Inode) + " "
                + std::to_string(identity->Size) + " " + std::to_string(identity->ModifiedNanoseconds) + " "
                + std::to_string(identity->Hash)
                        : std::string());
    Put(bytes, std::to_string(recovery.ListCol) + " " + std::to_string(recovery.ListRow));
    Put(bytes, std::to_string(recovery.ListCells.size()));
    for (const std::string& cell : recovery.ListCells)
        Put(bytes, cell);
    Put(bytes, recovery.Record);
    std::string::size_type slash = path.rfind('/');
    if (slash != std::string::npos)
        MakeFolders(path.substr(0, slash));
    ReplaceFileContent(path, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::optional<Recovery> ReadRecovery(const std::string& path)
{
    std::string bytes = ReadWhole(path);
    if (bytes.compare(0, Magic.size(), Magic) != 0)
        return std::nullopt;
    Fields fields(bytes);
    Recovery recovery;
    std::optional<std::string> host = fields.Next(), boot = fields.Next(), process = fields.Next(),
                               changed = fields.Next(), ledger = fields.Next(), identity = fields.Next(),
                               list = fields.Next(), cells = fields.Next();
    if (!cells)
        return std::nullopt;
    recovery.Host = *host;
    recovery.Boot = *boot;
    recovery.Process = ProcessFromText(*process);
    recovery.Changed = std::time_t(std::atoll(changed->c_str()));
    recovery.Ledger = *ledger;
    if (!identity->empty()) {
        FileIdentity known;
        unsigned long long device, inode, size, hash;
        long long modified;
        if (std::sscanf(identity->c_str(), "%llu %llu %llu %lld %llu", &device, &inode, &size, &modified, &hash) == 5)
            recovery.LedgerIdentity = FileIdentity { device, inode, size, modified, hash };
    }
    std::sscanf(list->c_str(), "%d %d", &recovery.ListCol, &recovery.ListRow);
    for (long cell = std::atol(cells->c_str()); cell > 0; --cell) {
        std::optional<std::string> text = fields.Next();
        if (!text)
            return std::nullopt;
        recovery.ListCells.push_back(*text);
    }
    std::optional<std::string> record = fields.Next();
    if (!record || record->size() != RecordSize)
        return std::nullopt;
    recovery.Record = *record;
    return recovery;
}

std::vector<LeftRecovery> LeftRecoveries()
{
    std::vector<LeftRecovery> left;
    std::string folder = RecoveryFolder();
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
    if (!listing)
        return left;
    while (dirent* entry = ::readdir(listing.get())) {
        std::string name = entry->d_name;
        if (name.size() <= Prefix.size() + Suffix.size() || name.compare(0, Prefix.size(), Prefix) != 0
            || name.compare(name.size() - Suffix.size(), Suffix.size(), Suffix) != 0)
            continue;
        std::string path = folder + "/" + name;
        std::optional<Recovery> kept = ReadRecovery(path);
        if (kept && !MayBeRunning(kept->Process, kept->Host, kept->Boot))
            left.push_back({ path, std::move(*kept) });
    }
    std::sort(left.begin(), left.end(),
        [](const LeftRecovery& a, const LeftRecovery& b) { return a.Kept.Changed < b.Kept.Changed; });
    return left;
}
