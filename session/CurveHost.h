// The one door between the curve engine and whoever shows it: the calculator window, the
// command-line program and the tests each implement it. Everything the engine makes the
// user see or hear goes through here, in the order it happens.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "solver/Notice.h"

namespace bendwise {

class CCurveHost {
  public:
    virtual ~CCurveHost() = default;

    // A modal message with an OK button only; returns when the user has closed it.
    virtual void ShowMessage(std::string_view text) = 0;

    virtual void PlaySound(Sound sound) = 0;

    // Why an entry was refused, in words, for a status line: also for the refusals that
    // only sound ("Lrr with Chord is a poorly determined pair: not accepted."). Comes after
    // the refusal's sound and message, before its recalculation. A host without a status
    // line ignores it.
    virtual void ShowStatus(std::string_view text) { (void)text; }

    // Checks or clears the indicator of one entry group (a GROUP_ code).
    virtual void SetIndicator(int group, bool checked) = 0;

    // Every display text of the record has its final value: show them all.
    virtual void RefreshScreen() = 0;

    // Asks for a report file to save into, with the dialog title given ("New Curve Data
    // File" or "No file to append - Create New"). Returns the chosen full path, or nothing
    // when the user cancelled.
    virtual std::optional<std::string> AskReportPath(std::string_view title) = 0;
};

}  // namespace bendwise
