#include "ModulePath.h"

#include <unistd.h>

#include <vector>

QString ModuleFileName()
{
    // The link names the program's file however long its path is.
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<size_t>(length) < buffer.size())
            return QString::fromLocal8Bit(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}
