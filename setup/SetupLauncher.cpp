#include "SetupLauncher.h"

#include <fcntl.h>
#include <spawn.h>

#include <array>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

// What the installer starts with: no descriptor of Setup's, so that nobody
// waiting for Setup's output waits for the installer too, and the null
// device as its standard input, output and error.
class InstallerFiles
{
public:
    InstallerFiles()
    {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&m_actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&m_actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclosefrom_np(&m_actions, 3);
    }
    ~InstallerFiles() { posix_spawn_file_actions_destroy(&m_actions); }
    InstallerFiles(const InstallerFiles&) = delete;
    InstallerFiles& operator=(const InstallerFiles&) = delete;
    const posix_spawn_file_actions_t* Get() const { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions{};
};

} // namespace

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

    const InstallerFiles files;
    pid_t pid = 0;
    posix_spawnp(&pid, argv[0], files.Get(), nullptr, argv.data(), environ);
    return 0;
}
