// The runtime's I/O error codes and texts, mapped from errno in one table.
#pragma once

#include <string>

namespace toolkit {

// The runtime's codes that are raised by name, not from an errno.
constexpr int InvalidFileNameCode = 3; // a name whose folder does not exist
constexpr int AccessDeniedCode = 5; // a file that is not a regular file
constexpr int ReadPastEndCode = 100; // a read that came back short
constexpr int DiskFullCode = 101; // a write that came back short

// The runtime's code for an errno value: 2 file not found, 3 invalid file name, 4 too many open
// files, 5 access denied, 101 disk full; any other errno keeps its own number.
int IoCodeFromErrno(int error);

// The runtime's message for a code, Shift-JIS: "ﾌｧｲﾙが見つかりません", ..., "I/O ｴﾗｰ (%d)".
std::string IoMessage(int code);

// Throws the Failure for a code, or for the current errno.
[[noreturn]] void RaiseIoError(int code);
[[noreturn]] void RaiseIoErrorFromErrno();

} // namespace toolkit
