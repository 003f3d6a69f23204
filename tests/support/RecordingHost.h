// A CCurveHost that writes down everything the engine makes the user see or hear, in order,
// and answers the report file question from a scripted queue.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "session/CurveHost.h"
#include "solver/Curve.h"

namespace bendwise::test {

class RecordingHost : public CCurveHost {
  public:
    void ShowMessage(std::string_view text) override {
        log.push_back("message: " + std::string(text));
        checkedAtMessage.push_back(Checked());
    }
    void PlaySound(Sound sound) override {
        log.push_back(sound == Sound::Exclamation ? "sound: exclamation" : "sound: asterisk");
    }
    void ShowStatus(std::string_view text) override { status.push_back(std::string(text)); }
    void SetIndicator(int group, bool checked) override {
        indicators[group] = checked;
        log.push_back(std::string("indicator: ") + GroupName(group) + (checked ? " on" : " off"));
    }
    void RefreshScreen() override { log.push_back("refresh"); }
    std::optional<std::string> AskReportPath(std::string_view title) override {
        log.push_back("ask: " + std::string(title));
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // The log without the indicator lines: messages, sounds, refreshes and questions.
    std::vector<std::string> Events() const {
        std::vector<std::string> out;
        for (const auto& line : log)
            if (line.rfind("indicator: ", 0) != 0) out.push_back(line);
        return out;
    }
    // Group codes whose indicator is checked now, in ascending code order.
    std::vector<int> Checked() const {
        std::vector<int> out;
        for (const auto& [group, on] : indicators)
            if (on) out.push_back(group);
        return out;
    }
    void Clear() {
        log.clear();
        status.clear();
        checkedAtMessage.clear();
    }

    std::vector<std::string> log;
    std::vector<std::string> status;  // the reasons for the status line, kept apart from log
    std::map<int, bool> indicators;
    std::vector<std::vector<int>> checkedAtMessage;  // the indicators as each message showed
    std::deque<std::optional<std::string>> answers;
};

}  // namespace bendwise::test
