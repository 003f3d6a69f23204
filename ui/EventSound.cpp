#include "ui/EventSound.h"

#include <canberra.h>
#include <dlfcn.h>

#include <QByteArray>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <type_traits>

namespace bendwise {

namespace {

constexpr SoundEvent kEvents[] = {
    {Sound::Exclamation, "dialog-warning", "Warning"},
    {Sound::Asterisk, "complete", "Report written"},
};

// libcanberra, loaded on the first sound rather than with the program: it and the codecs it
// brings (about 0.3 MiB resident) would otherwise count against the calculator's start-up
// memory, and a machine without it still starts and rings the bell. The declarations of
// <canberra.h> give each entry's type.
struct Canberra {
    decltype(&::ca_context_create) contextCreate = nullptr;
    decltype(&::ca_context_destroy) contextDestroy = nullptr;
    decltype(&::ca_context_set_driver) contextSetDriver = nullptr;
    decltype(&::ca_context_change_props) contextChangeProps = nullptr;
    decltype(&::ca_context_open) contextOpen = nullptr;
    decltype(&::ca_context_play_full) contextPlayFull = nullptr;
    decltype(&::ca_proplist_create) proplistCreate = nullptr;
    decltype(&::ca_proplist_destroy) proplistDestroy = nullptr;
    decltype(&::ca_proplist_sets) proplistSets = nullptr;
    decltype(&::ca_proplist_setf) proplistSetf = nullptr;

    // The library's entries, or null when it or one of them is missing. Loaded once; the
    // library stays loaded for the rest of the run.
    static const Canberra* Load() {
        static const Canberra* const loaded = [] {
            static Canberra api;
            void* library = ::dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
            if (library == nullptr) return static_cast<const Canberra*>(nullptr);
            bool all = true;
            auto find = [&](auto& entry, const char* name) {
                entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(
                    ::dlsym(library, name));
                all = all && entry != nullptr;
            };
            find(api.contextCreate, "ca_context_create");
            find(api.contextDestroy, "ca_context_destroy");
            find(api.contextSetDriver, "ca_context_set_driver");
            find(api.contextChangeProps, "ca_context_change_props");
            find(api.contextOpen, "ca_context_open");
            find(api.contextPlayFull, "ca_context_play_full");
            find(api.proplistCreate, "ca_proplist_create");
            find(api.proplistDestroy, "ca_proplist_destroy");
            find(api.proplistSets, "ca_proplist_sets");
            find(api.proplistSetf, "ca_proplist_setf");
            return all ? static_cast<const Canberra*>(&api) : nullptr;
        }();
        return loaded;
    }
};

class CCanberraBackend final : public CSoundBackend {
  public:
    CCanberraBackend() = default;
    CCanberraBackend(const CCanberraBackend&) = delete;
    CCanberraBackend& operator=(const CCanberraBackend&) = delete;
    ~CCanberraBackend() override {
        if (m_context != nullptr) m_ca->contextDestroy(m_context);
    }

    bool Play(const SoundEvent& event, const QWidget* window) override {
        if (!Open()) return false;
        ca_proplist* props = nullptr;
        if (m_ca->proplistCreate(&props) != CA_SUCCESS) return false;
        m_ca->proplistSets(props, CA_PROP_EVENT_ID, event.id);
        m_ca->proplistSets(props, CA_PROP_EVENT_DESCRIPTION, event.description);
        // Kept in the sound server once loaded, as toolkits do for event sounds: the
        // second warning of a session is not decoded from disk again.
        m_ca->proplistSets(props, CA_PROP_CANBERRA_CACHE_CONTROL, "permanent");
        if (window != nullptr) SetWindow(props, *window);
        const int result = m_ca->contextPlayFull(m_context, 0, props, nullptr, nullptr);
        m_ca->proplistDestroy(props);
        return result == CA_SUCCESS;
    }

  private:
    bool Open() {
        if (m_context != nullptr) return true;
        if (m_ca == nullptr) m_ca = Canberra::Load();
        if (m_ca == nullptr) return false;  // no libcanberra: the bell
        ca_context* context = nullptr;
        if (m_ca->contextCreate(&context) != CA_SUCCESS) return false;
        // The sound server only, unless the user names a driver: see the header.
        if (qEnvironmentVariableIsEmpty("CANBERRA_DRIVER")) {
            m_ca->contextSetDriver(context, "pulse");
        }
        const QByteArray name = QGuiApplication::applicationDisplayName().toUtf8();
        const QByteArray id = QGuiApplication::desktopFileName().toUtf8();
        m_ca->contextChangeProps(context, CA_PROP_APPLICATION_NAME, name.constData(),
                                 CA_PROP_APPLICATION_ID, id.constData(),
                                 CA_PROP_APPLICATION_ICON_NAME, id.constData(), nullptr);
        if (m_ca->contextOpen(context) != CA_SUCCESS) {
            m_ca->contextDestroy(context);
            return false;
        }
        m_context = context;
        return true;
    }

    // The window's name, and on X11 its id and display, by which the sound server finds
    // the window's application (and, for the desktop, its per-application settings).
    void SetWindow(ca_proplist* props, const QWidget& widget) const {
        const QWidget* top = widget.window();
        m_ca->proplistSets(props, CA_PROP_WINDOW_NAME, top->windowTitle().toUtf8().constData());
        const QWindow* handle = top->windowHandle();
        if (handle == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) return;
        m_ca->proplistSetf(props, CA_PROP_WINDOW_X11_XID, "%llu",
                           static_cast<unsigned long long>(handle->winId()));
        const QByteArray display = qgetenv("DISPLAY");
        if (!display.isEmpty()) {
            m_ca->proplistSets(props, CA_PROP_WINDOW_X11_DISPLAY, display.constData());
        }
    }

    const Canberra* m_ca = nullptr;
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
