// Whole sessions: the input is a script of field entries and check-box clicks, played on a
// fresh calculator; the invariants of CurveInvariants.h are checked after every step.
//
// Script, one step after another until the input runs out:
//   byte op    op % 16 in 0..9: type into entry field op % 16 (Field order: radius,
//              degree-arc, degree-chord, larc, lrr, chord, tangent, delta, half-delta,
//              inbound-az); the next byte b gives the length b & 0x1F (above 16: leave the
//              field's text as shown, i.e. only pass through) and Enter when b & 0x80;
//              then that many bytes of text.
//              10: Left, 11: SqFt-->Acres, 12: Packed DMS (each click flips the box);
//              13..15: pass through field (next byte % 10), with Enter for 15.
// Besides the invariants, every handler ends in exactly one recalculation, or in none when
// its text is unchanged (Inbound Az: always one); no step leaves a central angle over 360
// degrees that was not there before; and a step that brings no new value of the pair (a
// check box, a refusal, Inbound Az, passing through or Enter in an unchanged field of the
// last group) leaves R, L and Delta the same doubles.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "fuzz/SessionChecks.h"
#include "session/CurveModel.h"

namespace {

using namespace bendwise;

class CountingHost : public CCurveHost {
  public:
    void ShowMessage(std::string_view) override { ++messages; }
    void PlaySound(Sound) override {}
    void SetIndicator(int group, bool on) override { indicators[group] = on; }
    void RefreshScreen() override { ++refreshes; }
    std::optional<std::string> AskReportPath(std::string_view) override { return std::nullopt; }

    std::map<int, bool> indicators;
    int refreshes = 0;
    int messages = 0;
};

[[noreturn]] void Fail(const std::string& what, int step) {
    std::fprintf(stderr, "invariant failed after step %d: %s\n", step, what.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CCurveMemory memory;
    CountingHost host;
    CCurveModel model(&memory, &host);
    model.Initialize();
    std::string failure = fuzz::CheckSession(model.Record(), memory, host.indicators);
    if (!failure.empty()) Fail(failure, 0);

    bool left = false;
    bool acres = false;
    bool packed = memory.m_packedDms != 0;
    std::size_t i = 0;
    int step = 0;
    while (i < size) {
        ++step;
        const int op = data[i++] % 16;
        host.refreshes = 0;
        const CCurveRecord before = model.Record();
        const int lastBefore = memory.m_lastGroup, prevBefore = memory.m_prevGroup;
        bool newValue = false;
        if (op < 10 || op >= 13) {
            int fieldIndex = op;
            bool enter = false;
            std::string text;
            bool passThrough = false;
            if (op < 10) {
                if (i >= size) break;
                const std::uint8_t b = data[i++];
                enter = (b & 0x80) != 0;
                std::size_t length = b & 0x1F;
                if (length > 16) {
                    passThrough = true;
                } else {
                    if (length > size - i) length = size - i;
                    text.assign(reinterpret_cast<const char*>(data + i), length);
                    i += length;
                }
            } else {
                if (i >= size) break;
                fieldIndex = data[i++] % 10;
                passThrough = true;
                enter = op == 15;
            }
            const Field field = static_cast<Field>(fieldIndex);
            if (passThrough) text = model.Text(field);
            if (enter) model.OnEnterKey();
            const bool unchangedLast =
                text == model.Text(field) &&
                (InfoOf(field).group == memory.m_lastGroup || field == Field::InboundAz);
            const EntryResult result = model.OnKillfocus(field, text);
            newValue = result == EntryResult::Accepted && !unchangedLast;
            const int expected =
                result == EntryResult::Unchanged ? (field == Field::InboundAz ? 1 : 0) : 1;
            if (host.refreshes != expected) {
                Fail(std::to_string(host.refreshes) + " recalculations for one entry", step);
            }
            if (model.Record().m_forceReread != 0 && result != EntryResult::Unchanged) {
                Fail("re-read still pending after a recalculation", step);
            }
        } else if (op == 10) {
            left = !left;
            model.OnLeft(left);
        } else if (op == 11) {
            acres = !acres;
            model.OnAcres(acres);
        } else {
            packed = !packed;
            model.OnPackedDms(packed);
        }
        failure = fuzz::CheckSession(model.Record(), memory, host.indicators);
        if (!failure.empty()) Fail(failure, step);
        const CCurveRecord& after = model.Record();
        if (after.m_delta > 360 && !(before.m_delta > 360))
            Fail("a curve of over 360 degrees", step);
        const bool samePair = memory.m_lastGroup + memory.m_prevGroup == lastBefore + prevBefore;
        if (!newValue && samePair &&
            (std::memcmp(&after.m_radius, &before.m_radius, sizeof(double)) != 0 ||
             std::memcmp(&after.m_lengthArc, &before.m_lengthArc, sizeof(double)) != 0 ||
             std::memcmp(&after.m_delta, &before.m_delta, sizeof(double)) != 0)) {
            Fail("the curve moved without a new value", step);
        }
    }
    return 0;
}
