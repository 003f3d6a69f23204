#include "ui/EventSound.h"

#include <canberra.h>

#include <QByteArray>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace bendwise {

namespace {

constexpr SoundEvent kEvents[] = {
    {Sound::Exclamation, "dialog-warning", "Warning"},
    {Sound::Asterisk, "complete", "Report written"},
};

class CCanberraBackend final : public CSoundBackend {
  public:
    CCanberraBackend() = default;
    CCanberraBackend(const CCanberraBackend&) = delete;
    CCanberraBackend& operator=(const CCanberraBackend&) = delete;
    ~CCanberraBackend() override {
        if (m_context != nullptr) ca_context_destroy(m_context);
    }

    bool Play(const SoundEvent& event, const QWidget* window) override {
        if (!Open()) return false;
        ca_proplist* props = nullptr;
        if (ca_proplist_create(&props) != CA_SUCCESS) return false;
        ca_proplist_sets(props, CA_PROP_EVENT_ID, event.id);
        ca_proplist_sets(props, CA_PROP_EVENT_DESCRIPTION, event.description);
        // Kept in the sound server once loaded, as toolkits do for event sounds: the
        // second warning of a session is not decoded from disk again.
        ca_proplist_sets(props, CA_PROP_CANBERRA_CACHE_CONTROL, "permanent");
        if (window != nullptr) SetWindow(props, *window);
        const int result = ca_context_play_full(m_context, 0, props, nullptr, nullptr);
        ca_proplist_destroy(props);
        return result == CA_SUCCESS;
    }

  private:
    bool Open() {
        if (m_context != nullptr) return true;
        ca_context* context = nullptr;
        if (ca_context_create(&context) != CA_SUCCESS) return false;
        // The sound server only, unless the user names a driver: see the header.
        if (qEnvironmentVariableIsEmpty("CANBERRA_DRIVER")) ca_context_set_driver(context, "pulse");
        const QByteArray name = QGuiApplication::applicationDisplayName().toUtf8();
        const QByteArray id = QGuiApplication::desktopFileName().toUtf8();
        ca_context_change_props(context, CA_PROP_APPLICATION_NAME, name.constData(),
                                CA_PROP_APPLICATION_ID, id.constData(),
                                CA_PROP_APPLICATION_ICON_NAME, id.constData(), nullptr);
        if (ca_context_open(context) != CA_SUCCESS) {
            ca_context_destroy(context);
            return false;
        }
        m_context = context;
        return true;
    }

    // The window's name, and on X11 its id and display, by which the sound server finds
    // the window's application (and, for the desktop, its per-application settings).
    static void SetWindow(ca_proplist* props, const QWidget& widget) {
        const QWidget* top = widget.window();
        ca_proplist_sets(props, CA_PROP_WINDOW_NAME, top->windowTitle().toUtf8().constData());
        const QWindow* handle = top->windowHandle();
        if (handle == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) return;
        ca_proplist_setf(props, CA_PROP_WINDOW_X11_XID, "%llu",
                         static_cast<unsigned long long>(handle->winId()));
        const QByteArray display = qgetenv("DISPLAY");
        if (!display.isEmpty()) {
            ca_proplist_sets(props, CA_PROP_WINDOW_X11_DISPLAY, display.constData());
        }
    }

    ca_context* m_context = nullptr;
};

}  // namespace

const SoundEvent& EventOf(Sound sound) {
    for (const SoundEvent& event : kEvents) {
        if (event.sound == sound) return event;
    }
    return kEvents[0];
}

std::unique_ptr<CSoundBackend> MakeThemeSoundBackend() {
    return std::make_unique<CCanberraBackend>();
}

}  // namespace bendwise
