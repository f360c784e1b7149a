#include "support/TestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

extern char** environ;

namespace test {

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment, std::chrono::milliseconds timeout) {
    ProcessResult result;
    int outPipe[2];
    int errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0)
        return result;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, outPipe[0]);
    posix_spawn_file_actions_addclose(&actions, errPipe[0]);

    std::vector<std::string> argStorage{program};
    argStorage.insert(argStorage.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : argStorage)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStorage;
    for (char** e = environ; *e; ++e)
        envStorage.emplace_back(*e);
    for (const auto& extra : environment) {
        const std::string name = extra.substr(0, extra.find('=') + 1);
        std::erase_if(envStorage, [&](const std::string& s) { return s.starts_with(name); });
        envStorage.push_back(extra);
    }
    std::vector<char*> envp;
    for (auto& e : envStorage)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    if (spawned != 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        return result;
    }

    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    char buffer[4096];
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (open > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int ready = left.count() > 0 ? poll(fds, 2, static_cast<int>(left.count())) : 0;
        if (ready == 0) {
            // Out of time: the program is stopped, and what it wrote so far is kept.
            result.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (pollfd& fd : fds)
        if (fd.fd >= 0)
            close(fd.fd);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

ProcessResult RunCli(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
    return RunProcess(VIREO_CLI_PATH, arguments, environment);
}

TempDir::TempDir() {
    std::random_device random;
    m_path = std::filesystem::temp_directory_path() / ("vireo-test-" + std::to_string(random()));
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path TempDir::Write(const std::string& name, const std::string& content) const {
    const std::filesystem::path path = m_path / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const char* Describe(NotAFile kind) {
    switch (kind) {
    case NotAFile::kFolder:
        return "folder";
    case NotAFile::kFifo:
        return "fifo";
    case NotAFile::kEndless:
        return "link-to-dev-zero";
    case NotAFile::kDangling:
        return "dangling-link";
    }
    return "?";
}

void MakeNotAFile(NotAFile kind, const std::filesystem::path& path) {
    switch (kind) {
    case NotAFile::kFolder:
        std::filesystem::create_directory(path);
        break;
    case NotAFile::kFifo:
        ::mkfifo(path.c_str(), 0600);
        break;
    case NotAFile::kEndless:
        std::filesystem::create_symlink("/dev/zero", path);
        break;
    case NotAFile::kDangling:
        std::filesystem::create_symlink(path.string() + ".nowhere", path);
        break;
    }
}

FileSizeLimit::FileSizeLimit(unsigned long limit) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit current{};
    if (getrlimit(RLIMIT_FSIZE, &current) != 0)
        return;
    m_saved = current.rlim_cur;
    current.rlim_cur = limit;
    m_set = setrlimit(RLIMIT_FSIZE, &current) == 0;
}

FileSizeLimit::~FileSizeLimit() {
    rlimit current{};
    if (m_set && getrlimit(RLIMIT_FSIZE, &current) == 0) {
        current.rlim_cur = m_saved;
        setrlimit(RLIMIT_FSIZE, &current);
    }
}

std::filesystem::path DataDir() {
    return VIREO_TEST_DATA_DIR;
}
std::filesystem::path ShippedScriptDir() {
    return VIREO_SHIPPED_SCRIPT_DIR;
}
std::filesystem::path BuiltScriptDir() {
    return VIREO_BUILT_SCRIPT_DIR;
}

ScriptFolderCopy::ScriptFolderCopy(const std::filesystem::path& source) : m_path(m_dir.Path() / "Script") {
    std::filesystem::create_directories(m_path);
    std::filesystem::copy(source, m_path,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    // What a user's session leaves in the build's folder (names read from a device, window
    // places) is not part of the shipped folder, so a test starts without it.
    for (const char* user : {"UserName.txt", "WindowPosition.txt"})
        std::filesystem::remove(m_path / user);
}

} // namespace test
