// The curve report: 11-line blocks of two padded columns, lines ended by a bare line feed.
//
//   - - - - - - -                   (separator: 14 characters padded to 32, then one blank)
//   Radius       1000.000           Larc         523.599
//   ...                             (nine data lines, labels padded to 13 characters)
//   - - - - - - -
//
// The file writer (appending under a lock, replacing in one step) is in report/FileWrite.h.
#pragma once

#include <string>

#include "report/FileWrite.h"
#include "solver/Curve.h"

namespace bendwise {

// The whole 11-line block of the record's display texts, exactly as they stand.
std::string BuildReportBlock(const CCurveRecord& record);

}  // namespace bendwise
