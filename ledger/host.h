// This process among the others of the host: the names the lock and the recovery files record,
// and whether a process they name is still running. Knows nothing of windows.
#pragma once

#include <string>

std::string HostName();
std::string UserName();
// The host's current boot: a process of another boot, even of the same number, has gone.
std::string BootId();
// The process `process` of `host` since boot `boot` may still be running: it is, or it is of
// another host, whose processes cannot be seen from here.
bool MayBeRunning(long process, const std::string& host, const std::string& boot);
