// A whole run of bendwise-cli after its signals are set: the command line read, the entries
// and the batch applied, every curve written.
#pragma once

#include "cli/Output.h"

namespace bendwise::cli {

// Returns the exit status: 0 every entry taken and everything written, 1 an entry refused
// or a file left out, 2 a usage error, 3 a file or standard output not written.
int Run(int argc, char** argv, Output& output);

}  // namespace bendwise::cli
