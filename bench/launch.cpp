// bendwise_bench_launch: runs one program once and reports, in microseconds from just
// before it was started, when each line of its standard output arrived and when it ended,
// and its peak resident set size.
//
// usage: bendwise_bench_launch [--timeout SECONDS] [--stdout FILE] -- PROGRAM [ARG ...]
//
// Output, one item per line:
//   line <microseconds> <text>     each line the program wrote to standard output
//   exit <microseconds> <status>   status is the exit code, or "signal N"
//   cpu_us <microseconds>          user + system CPU time of the program
//   user_us, sys_us <microseconds> the two apart
//   maxrss_kb <kilobytes>          peak RSS of the program (getrusage of the child)
// With --stdout FILE the program's standard output goes to FILE instead and no "line"
// items are reported (for programs whose output is data, not progress marks).
// A program still running after the timeout (default 30 s) is killed; the launcher then
// prints "timeout" and exits with status 124. Otherwise it exits 0 when the program
// exited 0, and 1 when it did not.
//
// The clock is CLOCK_MONOTONIC, read before fork(): what is measured includes fork, exec,
// dynamic loading and everything the program does until the line is written.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

long long NowMicroseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

int Usage() {
    std::fputs(
        "usage: bendwise_bench_launch [--timeout SECONDS] [--stdout FILE] -- PROGRAM "
        "[ARG ...]\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    double timeoutSeconds = 30.0;
    const char* stdoutFile = nullptr;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string arg = argv[first];
        if (arg == "--") {
            ++first;
            break;
        }
        if (arg == "--timeout" && first + 1 < argc) {
            timeoutSeconds = std::atof(argv[++first]);
        } else if (arg == "--stdout" && first + 1 < argc) {
            stdoutFile = argv[++first];
        } else {
            return Usage();
        }
    }
    if (first >= argc) return Usage();

    int pipeFds[2] = {-1, -1};
    if (stdoutFile == nullptr && pipe2(pipeFds, O_CLOEXEC) != 0) {
        std::perror("pipe2");
        return 2;
    }
    int outFd = -1;
    if (stdoutFile != nullptr) {
        outFd = open(stdoutFile, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (outFd < 0) {
            std::perror(stdoutFile);
            return 2;
        }
    }

    const long long start = NowMicroseconds();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    if (child == 0) {
        dup2(stdoutFile != nullptr ? outFd : pipeFds[1], STDOUT_FILENO);
        execvp(argv[first], argv + first);
        std::fprintf(stderr, "bendwise_bench_launch: cannot run %s: %s\n", argv[first],
                     std::strerror(errno));
        _exit(127);
    }

    const long long deadline = start + static_cast<long long>(timeoutSeconds * 1e6);
    bool timedOut = false;
    if (stdoutFile == nullptr) {
        close(pipeFds[1]);
        std::string pending;
        char buffer[4096];
        for (;;) {
            const long long left = deadline - NowMicroseconds();
            if (left <= 0) {
                timedOut = true;
                break;
            }
            pollfd p{pipeFds[0], POLLIN, 0};
            const int ready = poll(&p, 1, static_cast<int>(left / 1000) + 1);
            if (ready < 0 && errno == EINTR) continue;
            if (ready == 0) continue;
            const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;  // end of output: the program closed it or ended
            const long long at = NowMicroseconds() - start;
            pending.append(buffer, static_cast<std::size_t>(got));
            for (std::size_t nl; (nl = pending.find('\n')) != std::string::npos;) {
                std::printf("line %lld %s\n", at, pending.substr(0, nl).c_str());
                pending.erase(0, nl + 1);
            }
        }
        close(pipeFds[0]);
    } else {
        close(outFd);
    }

    // The exit is polled every 0.2 ms so that a program which closed its output but goes
    // on running is still stopped at the deadline.
    if (timedOut) kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = wait4(child, &status, WNOHANG, &usage);
        if (done == child) break;
        if (done < 0 && errno != EINTR) {
            std::perror("wait4");
            return 2;
        }
        if (!timedOut && NowMicroseconds() >= deadline) {
            timedOut = true;
            kill(child, SIGKILL);
        }
        usleep(200);
    }
    const long long end = NowMicroseconds() - start;

    if (timedOut) {
        std::puts("timeout");
        return 124;
    }
    if (WIFEXITED(status)) {
        std::printf("exit %lld %d\n", end, WEXITSTATUS(status));
    } else {
        std::printf("exit %lld signal %d\n", end, WTERMSIG(status));
    }
    const auto micros = [](const timeval& t) {
        return static_cast<long long>(t.tv_sec) * 1000000 + t.tv_usec;
    };
    std::printf("cpu_us %lld\n", micros(usage.ru_utime) + micros(usage.ru_stime));
    std::printf("user_us %lld\nsys_us %lld\n", micros(usage.ru_utime), micros(usage.ru_stime));
    std::printf("maxrss_kb %ld\n", usage.ru_maxrss);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
