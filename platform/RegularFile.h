#pragma once
// Only a regular file stands for a document: reading a FIFO or a device
// would wait for a writer or never end, and writing one would hold the
// window until some process reads it.
#include <QByteArray>

#include <sys/types.h>

// 0 for a regular file; EISDIR for a folder, EINVAL for anything else.
int NotARegularFileError(mode_t mode);

// Opens the file with flags (with O_CREAT a new one is made with mode),
// closed on exec and never made the controlling terminal. Anything that is
// not a regular file is refused without waiting on it. The descriptor, or
// -1 with the errno value in errorCode.
int OpenRegularFile(const QByteArray& path, int flags, int& errorCode, mode_t mode = 0666);
