// The session invariants in a unit of their own, built without the fuzzer's coverage
// instrumentation: the checks are not under test, and instrumented they cost more than the
// engine steps they check.
#include "fuzz/SessionChecks.h"

#include "fuzz/CurveInvariants.h"

namespace bendwise::fuzz {

std::string CheckSession(const CCurveRecord& record, const CCurveMemory& memory,
                         const std::map<int, bool>& indicators) {
    return CheckInvariants(record, memory, indicators);
}

}  // namespace bendwise::fuzz
