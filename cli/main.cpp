// bendwise-cli: the calculator without its window.
//
// One run is one session of the calculator dialog: the curve memory with its defaults, the
// model initialised as the dialog is after "Accept", then every entry applied in order, each
// as a person would do it in the window (type the text into the field, press Enter; click a
// check box only when its state differs). The engine talks back through CliHost, which
// turns every message box and sound into one line on standard error, in the order they
// happen. Report blocks go to standard output, or through the engine's own report writer to
// a file (--output as "Write New File", --append as "Append to File").
//
// Output is written through two large buffers; when output switches from one stream to
// the other, the stream written before is flushed first, so a run with 2>&1 still shows
// each message before the block it belongs to, while a long batch costs few system calls.
// Standard output is also flushed before any file is written, so that a standard output
// that cannot be written stops the run before the next file is touched.
//
// The report file is held open and locked for the whole run (report/FileWrite.h): other
// writers wait until the run ends. A batch that prints nothing but its messages queues its
// blocks and writes many in one write(), holding standard error back until they are in the
// file, so that a block's asterisk never shows before the block is there.

#include <csignal>
#include <cstdio>

#include "cli/Output.h"
#include "cli/Run.h"

int main(int argc, char** argv) {
    // Past a file size limit (ulimit -f) write() then fails with EFBIG, and the writers take
    // the partial block back out, instead of the signal ending the run mid-block.
    std::signal(SIGXFSZ, SIG_IGN);
    // A standard output piped into a program that ends early (| head) then fails with
    // EPIPE, and the run stops with status 3 and says so, instead of dying silently of
    // SIGPIPE (141).
    std::signal(SIGPIPE, SIG_IGN);
    bendwise::cli::Output output;
    int status = bendwise::cli::Run(argc, argv, output);
    if (!output.Finish()) {
        std::fputs("bendwise-cli: cannot write standard output\n", stderr);
        std::fflush(stderr);
        if (status != bendwise::cli::kExitUsage) status = bendwise::cli::kExitNotWritten;
    }
    return status;
}
