#include "ledger/host.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <pwd.h>
#include <unistd.h>

std::string HostName()
{
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

std::string UserName()
{
    if (const passwd* user = ::getpwuid(::getuid()))
        return user->pw_name;
    return std::to_string(::getuid());
}

std::string BootId()
{
    static const std::string boot = [] {
        std::string text;
        if (std::FILE* file = std::fopen("/proc/sys/kernel/random/boot_id", "r")) {
            char id[64] = {};
            if (std::fgets(id, sizeof id, file))
                text = id;
            std::fclose(file);
        }
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        return text;
    }();
    return boot;
}

bool MayBeRunning(long process, const std::string& host, const std::string& boot)
{
    if (host != HostName())
        return true;
    if (boot != BootId() || process <= 0)
        return false;
    return ::kill(pid_t(process), 0) == 0 || errno != ESRCH;
}
