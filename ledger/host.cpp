#include "ledger/host.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
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

namespace {

// The start of a process in clock ticks since the boot, field 22 of /proc/PID/stat; 0 when there is
// no such process.
unsigned long long StartOf(long process)
{
    std::FILE* file = std::fopen(("/proc/" + std::to_string(process) + "/stat").c_str(), "r");
    if (!file)
        return 0;
    char line[1024] = {};
    size_t read = std::fread(line, 1, sizeof line - 1, file);
    std::fclose(file);
    line[read] = '\0';
    // The name in parentheses may hold blanks: the fields are counted from its closing one.
    const char* field = std::strrchr(line, ')');
    unsigned long long start = 0;
    for (int number = 2; field && number < 22; ++number)
        field = std::strchr(field + 1, ' ');
    if (field)
        std::sscanf(field + 1, "%llu", &start);
    return start;
}

} // namespace

ProcessName ThisProcess()
{
    static const ProcessName self { long(::getpid()), StartOf(long(::getpid())) };
    return self;
}

std::string ProcessText(const ProcessName& process)
{
    return std::to_string(process.Number) + ":" + std::to_string(process.Started);
}

ProcessName ProcessFromText(const std::string& text)
{
    ProcessName process;
    std::sscanf(text.c_str(), "%ld:%llu", &process.Number, &process.Started);
    return process;
}

bool MayBeRunning(const ProcessName& process, const std::string& host, const std::string& boot)
{
    if (host != HostName())
        return true;
    if (boot != BootId() || process.Number <= 0)
        return false;
    if (::kill(pid_t(process.Number), 0) != 0 && errno == ESRCH)
        return false;
    return process.Started == 0 || StartOf(process.Number) == process.Started;
}
