// A curve solved the way a person reaches it in the window: angles typed as decimal degrees
// (packed off), each entry typed into its field and Enter pressed.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "session/CurveModel.h"
#include "support/RecordingHost.h"

namespace bendwise::test {

struct SolvedCurve {
    CCurveMemory memory;
    RecordingHost host;
    CCurveModel model{&memory, &host};

    SolvedCurve(std::initializer_list<std::pair<Field, const char*>> entries, bool left = false) {
        model.Initialize();
        model.OnPackedDms(false);
        if (left) model.OnLeft(true);
        for (const auto& [field, text] : entries) {
            model.OnEnterKey();
            EXPECT_EQ(model.OnKillfocus(field, text), EntryResult::Accepted) << text;
        }
    }
    const CCurveRecord& Record() const { return model.Record(); }
    const std::string& Text(Field f) const { return model.Text(f); }
};

}  // namespace bendwise::test
