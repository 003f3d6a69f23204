// The curve report: 11-line blocks of two padded columns, lines ended by a bare line feed.
//
//   - - - - - - -                   (separator: 14 characters padded to 32, then one blank)
//   Radius       1000.000           Larc         523.599
//   ...                             (nine data lines, labels padded to 13 characters)
//   - - - - - - -
#pragma once

#include <string>

#include "solver/Curve.h"

namespace bendwise {

// Appends one line to `out`: `left` padded with blanks to 32 characters (a longer left
// text is kept whole), then `right`, then '\n'.
void WriteReportLine(std::string& out, std::string left, std::string right);

// The whole 11-line block of the record's display texts, exactly as they stand.
std::string BuildReportBlock(const CCurveRecord& record);

// How the file is opened for one block.
enum class ReportOpen {
    CreateEmpty,   // create, or empty an existing file  ("Write New File")
    CreateKeep,    // create if missing, keep the contents ("Append", after the dialog)
    ExistingKeep,  // only an existing writable file, contents kept (remembered path)
};

enum class BlockWrite {
    Written,
    OpenFailed,   // the file could not be opened in that mode
    WriteFailed,  // not written completely; the file was put back as it was
};

// Opens `path`, moves to its end and writes `block` in one piece. When the block cannot be
// written completely (disk full, I/O error) the file is put back as it was before: the
// added bytes are cut off again, an emptied file gets its old contents back and a file
// that did not exist is removed. A partial block is never left behind.
BlockWrite WriteBlockToFile(const std::string& path, ReportOpen mode, const std::string& block);

}  // namespace bendwise
