#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/EntryForms.h"
#include "support/ModelFixture.h"

using namespace bendwise;
using Strings = std::vector<std::string>;

namespace {

constexpr int R = GROUP_RADIUS, L = GROUP_LARC, LRR = GROUP_LRR, D = GROUP_DELTA, C = GROUP_CHORD,
              T = GROUP_TANGENT;
const std::string kBeep = "sound: exclamation", kInvalid = "message: Invalid input",
                  kRefresh = "refresh", kNotRead = "message: Could not interpret input";

class EntryRules : public bendwise::test::ModelTest {
  protected:
    void SetUp() override { Reset(); }
    // The calculator as it opens on the default memory.
    void Reset() {
        memory = CCurveMemory();
        model.Initialize();
        host.Clear();
    }
    // Fields whose text differs from `before`.
    std::vector<std::string> ChangedFields(const CCurveRecord& before) const {
        std::vector<std::string> out;
        for (const auto& info : Fields())
            if (model.Text(info.field) != before.Text(info.field)) out.push_back(info.name);
        return out;
    }
};

TEST_F(EntryRules, UnchangedTextIsNoEntry) {
    for (int i = 0; i < kEntryFieldCount; ++i) {
        const Field f = static_cast<Field>(i);
        if (f == Field::InboundAz) continue;
        EXPECT_EQ(model.OnKillfocus(f, Text(f)), EntryResult::Unchanged) << InfoOf(f).name;
    }
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(model.OnKillfocusLengthArc("100"), EntryResult::Accepted);  // "100.000" is shown
    EXPECT_EQ(Text(Field::LengthArc), "100.000");
    EXPECT_EQ(host.Events(), Strings{kRefresh});
    // Leaving Inbound Az always recalculates, exactly once, and keeps the pair.
    host.Clear();
    model.OnKillfocusInboundAz(Text(Field::InboundAz));
    EXPECT_EQ(host.Events(), Strings{kRefresh});
    EXPECT_EQ(memory.m_lastGroup, L);
}

TEST_F(EntryRules, EnterReReadsAnUnchangedFieldOnce) {
    EXPECT_EQ(model.OnKillfocusDelta("30"), EntryResult::Accepted);
    EXPECT_EQ(memory.m_lastGroup, D);
    model.OnEnterKey();
    EXPECT_EQ(model.OnKillfocusRadius(Text(Field::Radius)), EntryResult::Accepted);
    EXPECT_EQ(memory.m_lastGroup, R);
    EXPECT_EQ(memory.m_prevGroup, D);
    EXPECT_EQ(model.Record().m_radius, 5729.578);  // the shown text, re-read
    EXPECT_EQ(model.OnKillfocusRadius(Text(Field::Radius)), EntryResult::Unchanged);
    // Any recalculation ends the forced re-read, a check box's too.
    model.OnEnterKey();
    model.OnLeft(true);
    EXPECT_EQ(model.OnKillfocusDelta(Text(Field::Delta)), EntryResult::Unchanged);
}

struct Refusal {
    int prev, last;
    Field field;
    const char* typed;  // nullptr: the field's own text (passing through)
    EntryResult result;
    Strings events;
};

TEST_F(EntryRules, ResponsesInOrder) {
    const Strings beepRecalc = {kBeep, kRefresh}, invalid = {kBeep, kInvalid, kRefresh};
    const EntryResult no = EntryResult::Refused, yes = EntryResult::Accepted;
    const Refusal cases[] = {
        {L, R, Field::Radius, "", no, invalid},
        {L, R, Field::Radius, "abc", no, invalid},
        {L, R, Field::Radius, "-5", no, invalid},
        {L, R, Field::LengthArc, "0", no, invalid},
        {L, R, Field::LengthArc, "xyz", no, invalid},
        {L, R, Field::LengthRR, "0", no, {kRefresh, kBeep}},  // recalculates first, then beeps
        {L, R, Field::LengthRR, "-1", no, {kRefresh, kBeep}},
        {L, R, Field::Chord, "0", no, beepRecalc},
        {L, R, Field::Tangent, "-5", no, beepRecalc},
        {L, R, Field::Tangent, "0", yes, {kRefresh}},
        {R, LRR, Field::Chord, "100", no, beepRecalc},
        {R, LRR, Field::Tangent, "100", no, beepRecalc},
        {R, LRR, Field::Chord, nullptr, no, beepRecalc},
        {R, LRR, Field::Tangent, nullptr, no, beepRecalc},
        {R, C, Field::LengthRR, "100", no, beepRecalc},
        {R, T, Field::LengthRR, nullptr, no, beepRecalc},
        {LRR,
         C,
         Field::Chord,
         "100",
         no,
         {kBeep, "message: Lrr & Chord inaccurate, possibly not unique.", kRefresh}},
        {LRR,
         T,
         Field::Tangent,
         "100",
         no,
         {kBeep, "message: Lrr & Tangent numerically inaccurate.", kRefresh}},
        {L, R, Field::Delta, "abc", no, {kNotRead, kRefresh}},
        {L, R, Field::Delta, "12.345", no, {"message: Not in DDD.MMSS format", kRefresh}},
        {L, R, Field::HalfDelta, "1e400", no, {kNotRead, kRefresh}},
        {L, R, Field::DegreeArc, "abc", no, {kNotRead, kRefresh}},
        // Our rule: a degree giving no positive finite radius is refused like a radius.
        {L, R, Field::DegreeArc, "0", no, invalid},
        {L, R, Field::DegreeChord, "0", no, invalid},
        {L, R, Field::DegreeChord, "800", no, invalid},  // read as 440: negative half-angle sine
        {L, R, Field::InboundAz, "abc", no, {kNotRead, kRefresh}},
        {L, R, Field::InboundAz, "45", yes, {kRefresh}},
    };
    for (const auto& c : cases) {
        Reset();
        memory.m_prevGroup = c.prev;
        memory.m_lastGroup = c.last;
        model.Recalculate(0);
        host.Clear();
        const CCurveRecord before = model.Record();
        const std::string typed = c.typed ? c.typed : Text(c.field);
        SCOPED_TRACE(std::string(InfoOf(c.field).name) + " '" + typed + "'");
        EXPECT_EQ(model.OnKillfocus(c.field, typed), c.result);
        EXPECT_EQ(host.Events(), c.events);
        if (c.result == EntryResult::Refused) {
            EXPECT_EQ(ChangedFields(before), Strings{});
            EXPECT_EQ(memory.m_lastGroup, c.last);
            EXPECT_EQ(memory.m_prevGroup, c.prev);
        }
    }
    EXPECT_EQ(memory.m_lastGroup, R);  // a new inbound azimuth keeps the pair
}

struct Stored {
    Field field;
    const char* typed;
    double CCurveRecord::*member;
    double value;
    Field shown;
    const char* text;
};

TEST_F(EntryRules, ConversionsAndClamps) {
    const Stored cases[] = {
        {Field::Radius, "2e13", &CCurveRecord::m_radius, 1e13, Field::Radius, "1.0000000e+013"},
        {Field::Radius, " 1000 ", &CCurveRecord::m_radius, 1000, Field::Radius, "1000.000"},
        {Field::DegreeArc, "1", &CCurveRecord::m_radius, 18000 / 3.141592653589793, Field::Radius,
         "5729.578"},
        {Field::DegreeChord, "1", &CCurveRecord::m_radius, 5729.650674006516, Field::Radius,
         "5729.651"},
        {Field::HalfDelta, "15", &CCurveRecord::m_delta, 30, Field::Delta, "30 00  0.0"},
        {Field::Delta, "12.3456", &CCurveRecord::m_delta, 12 + 34 / 60.0 + 56 / 3600.0,
         Field::Delta, "12 34 56.0"},
        {Field::LengthArc, "100.5", &CCurveRecord::m_lengthArc, 100.5, Field::LengthArc, "100.500"},
        {Field::InboundAz, "-15", &CCurveRecord::m_inboundAz, 345, Field::InboundAz, "345 00  0.0"},
    };
    for (const auto& c : cases) {
        Reset();
        SCOPED_TRACE(std::string(InfoOf(c.field).name) + " '" + c.typed + "'");
        EXPECT_EQ(model.OnKillfocus(c.field, c.typed), EntryResult::Accepted);
        bendwise::test::ExpectRelative(model.Record().*c.member, c.value, 1e-15);
        EXPECT_EQ(Text(c.shown), c.text);
        EXPECT_EQ(host.Events(), Strings{kRefresh});
    }
    // An angle is clamped too: a degree of curve of 2e13 with Delta 30 as the pair's other
    // value (with the start curve's arc length it would be no curve at all).
    Reset();
    model.OnKillfocusDelta("30");
    host.Clear();
    EXPECT_EQ(model.OnKillfocusDegreeArc("2e13"), EntryResult::Accepted);
    EXPECT_EQ(model.Record().m_radius, 18000 / (3.141592653589793 * 1e13));
    EXPECT_EQ(host.status, Strings{"Degree curve 2e13 is over the limit: 1e13 used."});
    // A Tangent of 0 is accepted and passed on with its group code.
    EXPECT_EQ(model.OnKillfocusTangent("0"), EntryResult::Accepted);
    EXPECT_EQ(memory.m_lastGroup, T);
}

struct ArcChord {
    Field field;
    const char* typed;
    EntryResult result;
    Strings events;
};

TEST_F(EntryRules, ArcAgainstChord) {
    const std::string less = "message: Larc cannot be less than Chord.",
                      semicircle = "message: Larc and Chord not implemented past semicircle.",
                      near = "message: Arc near chord, sensitive to rounding.";
    const EntryResult no = EntryResult::Refused, yes = EntryResult::Accepted;
    // With a chord of 100 as the last entry, L arc is checked; with L arc 100, a chord.
    const ArcChord cases[] = {
        {Field::LengthArc, "99", no, {less, kBeep, kRefresh}},
        {Field::LengthArc, "100.4", yes, {near, kRefresh}},
        {Field::LengthArc, "100.6", yes, {kRefresh}},
        {Field::LengthArc, "158", no, {semicircle, kBeep, kRefresh}},
        {Field::Chord, "101", no, {less, kBeep, kRefresh}},
        {Field::Chord, "99.8", yes, {near, kRefresh}},
        {Field::Chord, "63", no, {semicircle, kBeep, kRefresh}},
    };
    for (const auto& c : cases) {
        Reset();
        if (c.field == Field::LengthArc)
            model.OnKillfocusChord("100");
        else
            model.OnKillfocusLengthArc("100");
        host.Clear();
        SCOPED_TRACE(std::string(InfoOf(c.field).name) + " '" + c.typed + "'");
        EXPECT_EQ(model.OnKillfocus(c.field, c.typed), c.result);
        EXPECT_EQ(host.Events(), c.events);
    }
    // Re-entering the last group keeps L arc + chord as the pair: checked again.
    Reset();
    model.OnKillfocusLengthArc("100");
    model.OnKillfocusChord("90");
    host.Clear();
    EXPECT_EQ(model.OnKillfocusChord("101"), EntryResult::Refused);
    EXPECT_EQ(host.Events(), (Strings{less, kBeep, kRefresh}));

    const double pi = model.Record().m_pi;
    struct Direct {
        double arc;
        int result;
        Strings events;
    };
    const Direct direct[] = {
        {100, 1, {near}},  // equal passes the first test, then warns
        {100 * pi / 2, 1, {}},
        {std::nextafter(100 * pi / 2, 200), 0, {semicircle}},
        {std::nextafter(100.0, 0), 0, {less}},
    };
    for (const auto& d : direct) {
        host.Clear();
        EXPECT_EQ(model.CheckArcAgainstChord(d.arc, 100), d.result) << d.arc;
        EXPECT_EQ(host.Events(), d.events) << d.arc;
    }
}

TEST_F(EntryRules, CheckBoxesAndAzimuthChangeOnlyTheirFields) {
    CCurveRecord before = model.Record();
    model.OnKillfocusInboundAz("45");
    EXPECT_EQ(ChangedFields(before),
              (Strings{"inbound-az", "chord-az", "outbound-az", "delta-x", "delta-y"}));
    before = model.Record();
    model.OnLeft(true);
    EXPECT_EQ(ChangedFields(before), (Strings{"chord-az", "outbound-az", "delta-x", "delta-y"}));
    before = model.Record();
    model.OnAcres(true);
    EXPECT_EQ(memory.m_acres, 1);
    EXPECT_EQ(ChangedFields(before),
              (Strings{"circle-area", "sector-area", "segment-area", "fillet-area"}));
    EXPECT_EQ(memory.m_lastGroup, R);
    EXPECT_EQ(memory.m_prevGroup, L);

    host.Clear();
    before = model.Record();
    model.OnPackedDms(false);
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(ChangedFields(before), Strings{});
    EXPECT_EQ(model.OnKillfocusDelta("12.3456"), EntryResult::Accepted);
    EXPECT_EQ(model.Record().m_delta, 12.3456);
    EXPECT_EQ(memory.m_packedDms, 0);
}

}  // namespace

namespace {

// Every refusal says why on the status line, also those that only sound; an accepted entry
// says nothing there.
TEST_F(EntryRules, EveryRefusalGivesItsReasonForTheStatusLine) {
    const struct {
        int prev, last;  // the pair before the entry
        Field field;
        const char* text;
        const char* reason;  // empty: accepted, no reason
    } cases[] = {
        {C, LRR, Field::Chord, "100", "Chord with Lrr is a poorly determined pair: not accepted."},
        {LRR, T, Field::LengthRR, "9",
         "Lrr with Tangent is a poorly determined pair: not accepted."},
        {LRR, C, Field::LengthRR, "9", "Lrr with Chord is a poorly determined pair: not accepted."},
        {R, LRR, Field::Tangent, "9",
         "Tangent with Lrr is a poorly determined pair: not accepted."},
        {R, D, Field::Radius, "abc", "Radius \"abc\" is not a number: not accepted."},
        {R, D, Field::Radius, "0", "Radius must be a number greater than 0: not accepted."},
        {R, D, Field::LengthArc, "-1", "L arc must be a number greater than 0: not accepted."},
        {R, D, Field::LengthRR, "0", "Lrr must be a number greater than 0: not accepted."},
        {R, D, Field::Chord, "0", "Chord must be a number greater than 0: not accepted."},
        {R, D, Field::Tangent, "-2", "Tangent must be a number, 0 or greater: not accepted."},
        {R, D, Field::DegreeArc, "0", "Degree curve gives no radius greater than 0: not accepted."},
        {R, D, Field::Tangent, "0", ""},
        {R, D, Field::Chord, "100", ""},
    };
    for (const auto& c : cases) {
        Start(c.prev, c.last, 1000, 300, 17);
        model.OnPackedDms(false);
        model.OnEnterKey();
        const EntryResult result = model.OnKillfocus(c.field, c.text);
        EXPECT_EQ(result, *c.reason ? EntryResult::Refused : EntryResult::Accepted) << c.text;
        EXPECT_EQ(host.status, *c.reason ? Strings{c.reason} : Strings{}) << c.text;
    }
}

// The typed forms of entry_forms.tsv, each from the start curve: what the field shows
// afterwards, the last message box and the reason on the status line. bendwise-cli and the
// window are checked against the same rows.
TEST_F(EntryRules, TypedFormsReadAsMeantOrRefusedWithTheirReason) {
    const std::vector<test::EntryForm> rows =
        test::ReadEntryForms(std::string(BENDWISE_CLI_DATA) + "/entry_forms.tsv");
    ASSERT_GT(rows.size(), 40u);
    for (const test::EntryForm& row : rows) {
        SCOPED_TRACE(row.before + " " + row.field + "=" + row.typed);
        memory = CCurveMemory();
        model.Initialize();
        model.OnPackedDms(row.packed);
        Field field;
        if (!row.before.empty()) {
            const std::size_t equals = row.before.find('=');
            ASSERT_TRUE(FieldByName(row.before.substr(0, equals), field));
            model.OnEnterKey();
            model.OnKillfocus(field, row.before.substr(equals + 1));
        }
        ASSERT_TRUE(FieldByName(row.field, field));
        host.Clear();
        model.OnEnterKey();
        model.OnKillfocus(field, row.typed);
        EXPECT_EQ(Text(field), row.shown);
        std::string message;
        for (const std::string& line : host.log) {
            if (line.rfind("message: ", 0) == 0) message = line.substr(9);
        }
        EXPECT_EQ(message, row.message);
        EXPECT_EQ(host.status, row.reason.empty() ? Strings{} : Strings{row.reason});
    }
}

}  // namespace
