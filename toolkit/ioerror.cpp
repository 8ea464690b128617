#include "toolkit/ioerror.h"

#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <cerrno>

namespace toolkit {

namespace {

struct ErrnoCode {
    int Errno;
    int Code;
};

constexpr ErrnoCode ErrnoCodes[] = {
    { ENOENT, 2 },
    { ENOTDIR, 3 },
    { ENAMETOOLONG, 3 },
    { EINVAL, 3 },
    { EILSEQ, 3 },
    { EMFILE, 4 },
    { ENFILE, 4 },
    { EACCES, 5 },
    { EPERM, 5 },
    { EROFS, 5 },
    { EISDIR, 5 },
    { ETXTBSY, 5 },
    { ENOSPC, DiskFullCode },
    // EIO's own number is the runtime's "access denied": give it the code of a device error.
    { EIO, 1117 },
    { EDQUOT, DiskFullCode },
    { EFBIG, DiskFullCode },
};

struct CodeMessage {
    int Code;
    const char* Message;
};

constexpr CodeMessage CodeMessages[] = {
    { 2, "ﾌｧｲﾙが見つかりません" },
    { 3, "不正なﾌｧｲﾙ名です" },
    { 4, "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます" },
    { 5, "ﾌｧｲﾙへのｱｸｾｽが拒否されました" },
    { ReadPastEndCode, "ﾌｧｲﾙの末尾以降を読み込みました" },
    { DiskFullCode, "ﾃﾞｨｽｸがいっぱいです" },
};

} // namespace

int IoCodeFromErrno(int error)
{
    for (const ErrnoCode& entry : ErrnoCodes)
        if (entry.Errno == error)
            return entry.Code;
    return error;
}

std::string IoMessage(int code)
{
    for (const CodeMessage& entry : CodeMessages)
        if (entry.Code == code)
            return Sjis(entry.Message);
    return Sjis("I/O ｴﾗｰ (") + std::to_string(code) + ")";
}

void RaiseIoError(int code) { throw Failure(IoMessage(code)); }

void RaiseIoErrorFromErrno() { RaiseIoError(IoCodeFromErrno(errno)); }

} // namespace toolkit
