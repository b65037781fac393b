#include "platform/SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vpx {

namespace {

[[noreturn]] void WriteFailed(const std::string& path, int error)
{
    throw std::runtime_error("ファイルの書き込みに失敗しました: " + path + ": " + std::strerror(error));
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

ReplaceStatus WriteInPlace(const std::string& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return ReplaceStatus::CannotCreate;
    const bool written = WriteAll(fd, bytes);
    const int error = errno;
    if (::close(fd) != 0 || !written)
        WriteFailed(path, written ? errno : error);
    return ReplaceStatus::Ok;
}

} // namespace

ReplaceStatus ReplaceFileContents(const std::string& path, std::string_view bytes)
{
    struct stat old {};
    const bool exists = ::lstat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return WriteInPlace(path, bytes);
    if (exists) {
        // The old file must be writable, as it would be for a write in place.
        const int probe = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (probe < 0)
            return ReplaceStatus::CannotCreate;
        ::close(probe);
    }
    const std::string temp = path + ".vpx-new";
    const mode_t mode = exists ? (old.st_mode & 07777) : 0666;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) // a folder we may not create in: the old way is all there is
        return WriteInPlace(path, bytes);
    if (exists)
        (void)::fchmod(fd, mode); // the umask must not narrow the old file's permissions
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int error = errno;
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int reason = written ? errno : error;
        ::unlink(temp.c_str());
        WriteFailed(path, reason);
    }
    return ReplaceStatus::Ok;
}

} // namespace vpx
