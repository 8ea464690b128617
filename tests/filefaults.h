// Real file-system faults for the ledger file tests. The tests run as root, whom permission bits
// do not stop, so the faults are ones that stop root as well, or the test acts as another user.
#pragma once

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

// While alive, this thread meets file permission bits as any user does: the capabilities that
// override them are out of its effective set (a no-op for a user who lacks them).
class WithoutPermissionOverride {
public:
    WithoutPermissionOverride()
    {
        ::syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2] = { saved_[0], saved_[1] };
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        ::syscall(SYS_capset, &header_, reduced);
    }
    ~WithoutPermissionOverride() { ::syscall(SYS_capset, &header_, saved_); }
    WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
    WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

private:
    __user_cap_header_struct header_ { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct saved_[2] {};
};

// While alive, no file of this process may grow beyond `bytes`: a longer write comes back short
// and then fails with EFBIG, as on a full disk (the signal that would end the process is ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit { bytes, saved_.rlim_max };
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, savedHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_ {};
    void (*savedHandler_)(int) = nullptr;
};

// While alive, this process can open no further file.
class NoFreeDescriptor {
public:
    NoFreeDescriptor()
    {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        int lowestFree = ::open("/dev/null", O_RDONLY);
        ::close(lowestFree);
        rlimit limit { rlim_t(lowestFree), saved_.rlim_max };
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    ~NoFreeDescriptor() { ::setrlimit(RLIMIT_NOFILE, &saved_); }
    NoFreeDescriptor(const NoFreeDescriptor&) = delete;
    NoFreeDescriptor& operator=(const NoFreeDescriptor&) = delete;

private:
    rlimit saved_ {};
};

// While alive, the whole process is the user "nobody" of group "nogroup" without other groups,
// as any user who is not root: real and effective IDs both, so the system checks permissions as
// for that user. Only the saved IDs stay root's, so that the process can come back. A process
// that is not root meets permission bits already and stays as it is. Active() is false when the
// process could not change (then the caller skips).
class AsAnotherUser {
public:
    AsAnotherUser()
    {
        if (::geteuid() != 0) {
            active_ = true;
            return;
        }
        const passwd* user = ::getpwnam("nobody");
        const group* userGroup = ::getgrnam("nogroup");
        if (!user || !userGroup)
            return;
        groups_.resize(size_t(::getgroups(0, nullptr)));
        ::getgroups(int(groups_.size()), groups_.data());
        switched_ = ::setgroups(0, nullptr) == 0 && ::setresgid(userGroup->gr_gid, userGroup->gr_gid, 0) == 0
            && ::setresuid(user->pw_uid, user->pw_uid, 0) == 0;
        active_ = switched_;
        if (!switched_)
            Restore();
    }
    ~AsAnotherUser()
    {
        if (switched_)
            Restore();
    }
    AsAnotherUser(const AsAnotherUser&) = delete;
    AsAnotherUser& operator=(const AsAnotherUser&) = delete;

    bool Active() const { return active_; }

private:
    void Restore()
    {
        ::setresuid(0, 0, 0);
        ::setresgid(0, 0, 0);
        ::setgroups(groups_.size(), groups_.data());
    }

    bool active_ = false;
    bool switched_ = false;
    std::vector<gid_t> groups_;
};
