#include "RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int NotARegularFileError(mode_t mode)
{
    if (S_ISREG(mode))
        return 0;
    return S_ISDIR(mode) ? EISDIR : EINVAL;
}

int OpenRegularFile(const QByteArray& path, int flags, int& errorCode, mode_t mode)
{
    errorCode = 0;
    // Looked at before the open: a FIFO opened for writing with no reader
    // fails with a reason that would not name the fault.
    struct stat info {};
    if (::stat(path.constData(), &info) == 0) {
        errorCode = NotARegularFileError(info.st_mode);
        if (errorCode != 0)
            return -1;
    }
    // Not blocking: a FIFO put in its place meanwhile must not hold the open.
    const int fd = ::open(path.constData(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, mode);
    if (fd < 0) {
        errorCode = errno;
        return -1;
    }
    if (::fstat(fd, &info) != 0)
        errorCode = errno;
    else
        errorCode = NotARegularFileError(info.st_mode);
    if (errorCode != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
