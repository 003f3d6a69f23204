// The two sounds of the calculator as events of the desktop's sound theme (the freedesktop
// sound naming: "dialog-warning", "complete"), played through libcanberra on the desktop's
// sound server. The sound server applies the desktop's event-sound volume and mute to them
// (they play in its "event" role, named for this application and window). The platform
// layer asks a CSoundBackend and rings the display's bell itself when the backend says no
// sound will be heard, so tests put a fake backend in its place.
#pragma once

#include <memory>

#include "solver/Notice.h"

class QWidget;

namespace bendwise {

// One sound as the sound theme names it.
struct SoundEvent {
    Sound sound;
    const char* id;           // sound-theme event name, e.g. "dialog-warning"
    const char* description;  // for the sound server's list of streams, e.g. "Warning"
};

// The theme event of `sound`.
const SoundEvent& EventOf(Sound sound);

class CSoundBackend {
  public:
    virtual ~CSoundBackend() = default;

    // Starts `event` and returns at once, without waiting for it to finish. `window` (may
    // be null) is the window the sound belongs to. Returns false when nothing will be
    // heard: no sound server, no such event in the theme, sounds disabled.
    virtual bool Play(const SoundEvent& event, const QWidget* window) = 0;
};

// libcanberra on the desktop's sound server (its pulse driver, which PipeWire serves too),
// or on the driver named by CANBERRA_DRIVER when that is set. The server is connected on
// the first Play, and again on a later one while no connection stands. Without a server
// Play returns false at once and writes nothing to standard error (the ALSA driver, left
// to itself on a machine without a sound card, would).
std::unique_ptr<CSoundBackend> MakeThemeSoundBackend();

}  // namespace bendwise
