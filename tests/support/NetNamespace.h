#pragma once

// Runs a check in a child process inside a network namespace of its own, made
// through a new user namespace (no privilege needed where the system allows
// unprivileged user namespaces). The child sees only its own interfaces: what
// the check binds, sends and receives never touches this machine's networks.

#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <string>

namespace vpx::test {

struct NamespaceResult {
    bool ran = false;    // false: the machine does not allow it; `message` says why
    std::string message; // when ran: empty for a pass, else what failed
};

namespace detail {

inline bool WriteProcFile(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

} // namespace detail

// An `ip` command line inside the namespace; false when it failed.
inline bool Ip(const std::string& arguments)
{
    const std::string line = "ip " + arguments + " >/dev/null 2>&1";
    return std::system(line.c_str()) == 0;
}

// `body` returns "" for a pass, "SKIP: why" when a step the machine lacks failed,
// or what went wrong. The child is killed after `limitSeconds`.
inline NamespaceResult RunInNetNamespace(const std::function<std::string()>& body, unsigned limitSeconds = 10)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return {false, std::string("pipe: ") + std::strerror(errno)};
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return {false, std::string("fork: ") + std::strerror(errno)};
    }
    if (pid == 0) {
        ::close(fds[0]);
        ::alarm(limitSeconds);
        std::string out;
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
            out = std::string("SKIP: no network namespace of our own (unshare: ") + std::strerror(errno) + ")";
        } else {
            detail::WriteProcFile("/proc/self/setgroups", "deny");
            if (!detail::WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
                !detail::WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
                out = "SKIP: the new user namespace cannot be mapped";
            else if (!Ip("link set lo up"))
                out = "SKIP: the ip command (iproute2) does not work here";
            else {
                // Nothing may leave the child but its message: it would run the
                // rest of the test program a second time.
                try {
                    out = body();
                } catch (const std::exception& e) {
                    out = std::string("raised: ") + e.what();
                } catch (...) {
                    out = "raised something that is not an exception";
                }
            }
        }
        [[maybe_unused]] const ssize_t n = ::write(fds[1], out.data(), out.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string text;
    char buf[512];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
        text.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status))
        return {true, "the check in the namespace did not finish (signal " +
                          std::to_string(WIFSIGNALED(status) ? WTERMSIG(status) : 0) + ")"};
    if (text.rfind("SKIP: ", 0) == 0)
        return {false, text.substr(6)};
    return {true, text};
}

} // namespace vpx::test
