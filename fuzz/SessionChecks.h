// CheckInvariants for the session fuzzer, compiled apart (see SessionChecks.cpp).
#pragma once

#include <map>
#include <string>

#include "solver/Curve.h"

namespace bendwise::fuzz {

// "" when every invariant of CurveInvariants.h holds, else what is wrong.
std::string CheckSession(const CCurveRecord& record, const CCurveMemory& memory,
                         const std::map<int, bool>& indicators);

}  // namespace bendwise::fuzz
