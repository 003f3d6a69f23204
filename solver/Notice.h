// What the engine makes the user see or hear, as values: the solver and the entry rules
// return these in order, and the session hands them to the host (a message box, a sound, a
// status line), so every front end replays the same notices in the same order.
#pragma once

#include <string>
#include <vector>

namespace bendwise {

enum class Sound {
    Exclamation,  // a refused entry, a curve that cannot be solved
    Asterisk,     // a report block written completely
};

struct Notice {
    enum class Kind {
        Message,  // a modal message with an OK button only
        Sound,
        Status,  // a refusal's reason in words, for a status line
    };
    Kind kind = Kind::Message;
    std::string text;  // Message and Status
    Sound sound = Sound::Exclamation;

    static Notice Message(std::string text) { return {Kind::Message, std::move(text), {}}; }
    static Notice Beep(Sound sound) { return {Kind::Sound, {}, sound}; }
    static Notice Status(std::string text) { return {Kind::Status, std::move(text), {}}; }
};

using Notices = std::vector<Notice>;

}  // namespace bendwise
