#include "SetupLauncher.h"

#include <spawn.h>

#include <array>
#include <cstring>
#include <vector>

extern char** environ;

int RunSetup()
{
    // The command line is copied into a bounded buffer of our own and split
    // at blanks, as the system splits a command line.
    std::array<char, 1024> buffer{};
    std::strncpy(buffer.data(), kInstallerCommandLine, buffer.size() - 1);

    std::vector<char*> argv;
    char* save = nullptr;
    for (char* word = strtok_r(buffer.data(), " ", &save); word; word = strtok_r(nullptr, " ", &save))
        argv.push_back(word);
    argv.push_back(nullptr);

    pid_t pid = 0;
    posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    return 0;
}
