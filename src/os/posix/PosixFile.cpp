#include "os/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace os {

namespace {

bool ReadBounded(int fd, size_t limit, std::string* bytes, ReadResult* result) {
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            *result = ReadResult::Failed;
            return false;
        }
        if (bytes->size() + static_cast<size_t>(got) > limit) {
            *result = ReadResult::TooLarge;
            return false;
        }
        bytes->append(chunk, static_cast<size_t>(got));
    }
}

std::string ErrnoText(int error) {
    return std::strerror(error);
}

std::string TooLargeText(size_t limit) {
    return "larger than " + std::to_string(limit / (1024 * 1024)) + " MiB";
}

}  // namespace

ReadResult ReadWholeFile(const std::string& path, size_t limit, std::string* bytes,
                         std::string* error) {
    bytes->clear();
    const bool standardInput = path == "-";
    const int fd = standardInput ? 0 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = ErrnoText(errno);
        return ReadResult::Failed;
    }
    ReadResult result = ReadResult::Read;
    struct stat info {};
    if (!standardInput && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<unsigned long long>(info.st_size) > limit) {
        result = ReadResult::TooLarge;
    } else {
        ReadBounded(fd, limit, bytes, &result);
    }
    const int saved = errno;
    if (!standardInput) ::close(fd);
    if (result == ReadResult::TooLarge) *error = TooLargeText(limit);
    if (result == ReadResult::Failed) *error = ErrnoText(saved);
    if (result != ReadResult::Read) bytes->clear();
    return result;
}

bool ReplaceFileWith(const std::string& path, const std::string& bytes, std::string* error) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(&temporary[0]);
    if (fd < 0) {
        *error = ErrnoText(errno);
        return false;
    }
    size_t done = 0;
    int failure = 0;
    while (done < bytes.size() && failure == 0) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno != EINTR) failure = errno;
        if (wrote > 0) done += static_cast<size_t>(wrote);
    }
    if (failure == 0 && ::fsync(fd) != 0) failure = errno;
    if (::close(fd) != 0 && failure == 0) failure = errno;
    if (failure == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
    if (failure == 0) return true;
    ::unlink(temporary.c_str());
    *error = ErrnoText(failure);
    return false;
}

// Native builds talk to the simulated driver, whose codes are Windows' own: there is no text.
std::string SystemErrorText(uint32_t code) {
    return "system error " + std::to_string(code);
}

}  // namespace os
