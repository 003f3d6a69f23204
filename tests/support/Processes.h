// Child processes for fault-injection tests: a body run in a forked child under limits the
// test process must not take on itself, and the built command-line program started with
// its streams on files.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace bendwise::test {

// Runs `body` in a forked child and returns what it returned. `prepare` runs in the child
// first (limits, signals, giving up root); when it fails the result is "prepare failed".
inline std::string InChild(const std::function<bool()>& prepare,
                           const std::function<std::string()>& body) {
    int fds[2];
    if (pipe(fds) != 0) return "pipe failed";
    const pid_t pid = fork();
    if (pid < 0) return "fork failed";
    if (pid == 0) {
        close(fds[0]);
        const std::string out = prepare() ? body() : "prepare failed";
        const char* p = out.data();
        std::size_t left = out.size();
        while (left > 0) {
            const ssize_t n = write(fds[1], p, left);
            if (n <= 0) break;
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status)) return "child died";
    return out;
}

// Sets a file size limit of `bytes` on the calling process. With `ignoreSignal`, SIGXFSZ is
// ignored, so that write() reports EFBIG instead of the signal ending the process (the
// command-line program ignores it itself).
inline bool LimitFileSize(rlim_t bytes, bool ignoreSignal) {
    if (ignoreSignal) signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
    limit.rlim_cur = bytes;
    return setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

// A file size limit for InChild's `prepare`, SIGXFSZ ignored.
inline std::function<bool()> FileSizeLimit(rlim_t bytes) {
    return [bytes] { return LimitFileSize(bytes, true); };
}

// One started program: its pid, and once Wait()ed its exit status (-1: killed by a signal),
// and its peak resident memory.
struct Started {
    pid_t pid = -1;
    int status = -1;
    long maxRssKb = 0;

    void Wait() {
        int raw = 0;
        rusage usage{};
        if (pid > 0 && wait4(pid, &raw, 0, &usage) == pid) {
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            maxRssKb = usage.ru_maxrss;
        }
        pid = -1;
    }
};

// Starts `program` with `args` in folder `dir`, standard input from `in`, output and error
// to `out` and `err` (created or emptied), in the C locale; `prepare` runs in the child
// just before exec (a file size limit, say). Does not wait.
inline Started Start(const std::string& program, const std::vector<std::string>& args,
                     const std::string& dir, const std::string& in, const std::string& out,
                     const std::string& err, const std::function<void()>& prepare = {}) {
    std::vector<std::string> copies = args;
    std::vector<char*> argv;
    std::string name = program;
    argv.push_back(name.data());
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    Started started;
    started.pid = fork();
    if (started.pid == 0) {
        const int inFd = open(in.c_str(), O_RDONLY);
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (inFd < 0 || outFd < 0 || errFd < 0 || chdir(dir.c_str()) != 0) _exit(127);
        dup2(inFd, 0);
        dup2(outFd, 1);
        dup2(errFd, 2);
        setenv("LC_ALL", "C", 1);
        if (prepare) prepare();
        execv(argv[0], argv.data());
        _exit(127);
    }
    return started;
}

}  // namespace bendwise::test
