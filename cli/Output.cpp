#include "cli/Output.h"

namespace bendwise::cli {

namespace {

// The buffer of standard output, static so that it outlives every use of the stream (stdio
// flushes once more after main returns).
char g_outBuffer[1 << 16];

}  // namespace

Output::Output() {
    std::setvbuf(stdout, g_outBuffer, _IOFBF, sizeof g_outBuffer);
}

}  // namespace bendwise::cli
