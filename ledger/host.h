// This process among the others of the host: the names the lock and the recovery files record,
// and whether a process they name is still running. Knows nothing of windows.
#pragma once

#include <string>

std::string HostName();
std::string UserName();
// The host's current boot: a process of another boot, even of the same number, has gone.
std::string BootId();
// A process as the lock and the recovery files name it: its number, and when it started (in clock
// ticks since the boot), so that a number given to a new process since names no running one.
struct ProcessName {
    long Number = 0;
    unsigned long long Started = 0;
};
ProcessName ThisProcess();
// "1234:5678", and back.
std::string ProcessText(const ProcessName& process);
ProcessName ProcessFromText(const std::string& text);

// The process of `host` since boot `boot` may still be running: it is, or it is of another host,
// whose processes cannot be seen from here.
bool MayBeRunning(const ProcessName& process, const std::string& host, const std::string& boot);
