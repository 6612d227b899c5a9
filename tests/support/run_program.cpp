#include "tests/support/run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tests/support/temp_dir.h"

namespace {

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workingDirectory, unsigned timeoutSeconds) {
    // Captured into files outside the working directory, so the program sees only its own files
    // there and a chatty program cannot fill a pipe and stall.
    TempDir capture;
    const std::string outPath = (capture.Path() / "stdout").string();
    const std::string errPath = (capture.Path() / "stderr").string();

    std::vector<std::string> argv0{program};
    argv0.insert(argv0.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : argv0) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const std::string directory = workingDirectory.string();

    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
            chdir(directory.c_str()) != 0) {
            _exit(126);
        }
        alarm(timeoutSeconds);  // survives exec: a hanging program is ended by SIGALRM
        execv(argv[0], argv.data());
        _exit(127);
    }

    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("waitpid failed");
    }
    ProgramRun run;
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.exitCode = 128 + WTERMSIG(status);
    run.standardOutput = ReadWholeFile(outPath);
    run.standardError = ReadWholeFile(errPath);
    return run;
}
