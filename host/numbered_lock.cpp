#include "host/numbered_lock.h"

#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

// Locks of the open file, not of the process: two claims of one program
// exclude each other as two programs' do, and closing one drops only it.
bool setByteLock(int fd, int number, short type)
{
    struct flock byte {};
    byte.l_type = type;
    byte.l_whence = SEEK_SET;
    byte.l_start = number;
    byte.l_len = 1;
    return fcntl(fd, F_OFD_SETLK, &byte) == 0;
}

} // namespace

NumberedLock::~NumberedLock() { release(); }

NumberedLock::NumberedLock(NumberedLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), number_(std::exchange(other.number_, 0))
{
}

NumberedLock& NumberedLock::operator=(NumberedLock&& other) noexcept
{
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
        number_ = std::exchange(other.number_, 0);
    }
    return *this;
}

void NumberedLock::release()
{
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    number_ = 0;
}

bool NumberedLock::claim(const std::string& lockFile, int count, const std::function<bool(int)>& accept)
{
    release();
    int fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    for (int number = 1; number <= count; ++number) {
        if (!setByteLock(fd, number, F_WRLCK)) continue;
        if (accept(number)) {
            fd_ = fd;
            number_ = number;
            return true;
        }
        setByteLock(fd, number, F_UNLCK);
    }
    close(fd);
    return false;
}
