// A curve model on a fresh memory with a recording host, and shorthands to reach a curve.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "session/CurveModel.h"
#include "support/RecordingHost.h"

namespace bendwise::test {

class ModelTest : public ::testing::Test {
  protected:
    // Remembers R, L, Delta and the inbound azimuth with the pair (prev, last), then opens
    // the calculator on them and forgets what the opening did.
    void Start(int prev, int last, double radius, double lengthArc, double delta, double az = 0) {
        memory.m_radius = radius;
        memory.m_lengthArc = lengthArc;
        memory.m_delta = delta;
        memory.m_inboundAz = az;
        memory.m_prevGroup = prev;
        memory.m_lastGroup = last;
        model.Initialize();
        host.Clear();
    }
    // Makes (prev, last) the current pair and recalculates with code 0.
    void SolvePair(int prev, int last) {
        memory.m_prevGroup = prev;
        memory.m_lastGroup = last;
        host.Clear();
        model.Recalculate(0);
    }
    CCurveRecord& Rec() { return model.MutableRecord(); }
    std::string Text(Field f) const { return model.Text(f); }

    // No display text ever shows a non-finite number.
    void ExpectNoNonFiniteText() const {
        for (const auto& text : model.Record().m_texts) {
            EXPECT_EQ(text.find("nan"), std::string::npos) << text;
            EXPECT_EQ(text.find("inf"), std::string::npos) << text;
        }
    }

    CCurveMemory memory;
    RecordingHost host;
    CCurveModel model{&memory, &host};
};

inline void ExpectRelative(double actual, double expected, double tolerance = 1e-9) {
    EXPECT_NEAR(actual, expected, tolerance * std::fabs(expected));
}

}  // namespace bendwise::test
