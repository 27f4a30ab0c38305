#include "platform/linux/BusCheck.h"

// Before Qt's headers: Qt's "signals" keyword would break GIO's.
#include <gio/gio.h>

#include <QProcessEnvironment>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

namespace helm {

namespace {

using Clock = std::chrono::steady_clock;

const char* const sessionVariable = "DBUS_SESSION_BUS_ADDRESS";
const char* const systemVariable = "DBUS_SYSTEM_BUS_ADDRESS";
// libdbus and GDBus both refuse this address at once, with a message that names it.
const char* const noBus = "disabled:";
const char* const watcherName = "org.kde.StatusNotifierWatcher";
const char* const daemonName = "org.freedesktop.DBus";

// What one bus said.
struct Said {
    bool done = false;
    bool answered = false; // the bus answered a question of its own
    bool silent = false;   // no answer in time; a bus that refuses at once is not silent
    TrayWatcher watcher = TrayWatcher::none;
};

// Shared with the asking threads, which may outlive the wait.
struct Asking {
    std::mutex m;
    std::condition_variable cv;
    Said session, system;
    GCancellable* stop = g_cancellable_new();
    ~Asking() { g_object_unref(stop); }
};

int msLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<long long>(left, 1));
}

// A call's reply within the deadline; null when none came, silent set when for want of time.
GVariant* call(GDBusConnection* c, const char* to, const char* path, const char* interface,
               const char* member, GVariant* args, const GVariantType* type,
               Clock::time_point deadline, GCancellable* stop, bool& silent) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(c, to, path, interface, member, args, type,
                                                  G_DBUS_CALL_FLAGS_NO_AUTO_START, msLeft(deadline),
                                                  stop, &error);
    silent = error != nullptr && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT);
    g_clear_error(&error);
    return reply;
}

// Connects to the bus (authentication and Hello) and asks it a question of its own; on the
// session bus the question is whether a StatusNotifierItem watcher runs, which is then asked
// what Qt asks it: whether a tray shows items. Tells what it has learnt after each step.
void ask(const std::string& address, bool session, Clock::time_point deadline, GCancellable* stop,
         const std::function<void(const Said&)>& tell) {
    Said said;
    GError* error = nullptr;
    GDBusConnection* c = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, stop, &error);
    if (c == nullptr) {
        said.silent = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT);
        said.done = true;
        g_clear_error(&error);
        tell(said);
        return;
    }
    GVariant* owned = call(c, daemonName, "/org/freedesktop/DBus", daemonName, "NameHasOwner",
                           g_variant_new("(s)", session ? watcherName : daemonName),
                           G_VARIANT_TYPE("(b)"), deadline, stop, said.silent);
    gboolean watched = FALSE;
    if (owned != nullptr) {
        said.answered = true;
        g_variant_get(owned, "(b)", &watched);
        g_variant_unref(owned);
        tell(said);
    }
    if (session && watched) {
        bool silent = false;
        GVariant* host =
            call(c, watcherName, "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties", "Get",
                 g_variant_new("(ss)", watcherName, "IsStatusNotifierHostRegistered"),
                 G_VARIANT_TYPE("(v)"), deadline, stop, silent);
        if (host != nullptr) {
            GVariant* value = nullptr;
            g_variant_get(host, "(v)", &value);
            if (g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN) &&
                g_variant_get_boolean(value)) {
                said.watcher = TrayWatcher::shows;
            }
            g_variant_unref(value);
            g_variant_unref(host);
        } else if (silent) {
            said.watcher = TrayWatcher::silent;
        }
    }
    g_object_unref(c);
    said.done = true;
    tell(said);
}

// A path as a D-Bus address writes it: bytes other than the plain ones as %xx.
std::string escaped(const std::string& path) {
    std::string out;
    for (unsigned char ch : path) {
        if (std::isalnum(ch) || std::string_view("-_/.\\*").find(ch) != std::string_view::npos) {
            out += static_cast<char>(ch);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02x", ch);
            out += hex;
        }
    }
    return out;
}

std::string environmentOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

// Where libdbus and GDBus look for the session bus when the environment names none.
std::string userBus() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') {
        return {};
    }
    const std::string path = std::string(runtime) + "/bus";
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) ? "unix:path=" + escaped(path)
                                                                  : std::string();
}

// The addresses this process was started with, for each bus it shut.
struct Shut {
    bool session = false, system = false;
    std::optional<std::string> sessionAddress, systemAddress;
};

Shut& shutBuses() {
    static Shut shut;
    return shut;
}

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

} // namespace

BusCheck::Result BusCheck::run(std::chrono::milliseconds within) {
    return run(environmentOr(sessionVariable, userBus()),
               environmentOr(systemVariable, "unix:path=/var/run/dbus/system_bus_socket"), within);
}

BusCheck::Result BusCheck::run(const std::string& session, const std::string& system,
                               std::chrono::milliseconds within) {
    auto asking = std::make_shared<Asking>();
    const Clock::time_point deadline = Clock::now() + within;
    auto start = [&](const std::string& address, Said Asking::*said) {
        if (address.empty()) {
            (asking.get()->*said).done = true;
            return;
        }
        // Left to itself past the deadline: a bus that never answers keeps it waiting.
        std::thread([asking, address, said, deadline] {
            ask(address, said == &Asking::session, deadline, asking->stop, [&](const Said& got) {
                std::lock_guard<std::mutex> lock(asking->m);
                asking.get()->*said = got;
                asking->cv.notify_all();
            });
        }).detach();
    };
    start(session, &Asking::session);
    start(system, &Asking::system);
    Said sessionSaid, systemSaid;
    {
        std::unique_lock<std::mutex> lock(asking->m);
        asking->cv.wait_until(lock, deadline,
                              [&] { return asking->session.done && asking->system.done; });
        sessionSaid = asking->session;
        systemSaid = asking->system;
    }
    g_cancellable_cancel(asking->stop); // what is still being asked is given up

    Result r;
    auto silent = [](const Said& said) { return !said.answered && (!said.done || said.silent); };
    r.sessionSilent = silent(sessionSaid);
    r.systemSilent = silent(systemSaid);
    // A bus that answered, and a watcher still being asked.
    r.watcher =
        sessionSaid.answered && !sessionSaid.done ? TrayWatcher::silent : sessionSaid.watcher;
    char limitText[32];
    std::snprintf(limitText, sizeof limitText, "within %g s",
                  static_cast<double>(within.count()) / 1000.0);
    if (r.sessionSilent) {
        r.lines.push_back("session bus " + session + " did not answer " + limitText +
                          ": the tray, the keyring, the screen lock and the desktop's settings "
                          "go without it");
    }
    if (r.systemSilent) {
        r.lines.push_back("system bus " + system + " did not answer " + limitText +
                          ": the screen lock goes without the login manager");
    }
    if (r.watcher == TrayWatcher::silent) {
        r.lines.push_back(std::string("tray: the StatusNotifierItem watcher did not answer ") +
                          limitText);
    }
    return r;
}

void BusCheck::shut(const Result& result) {
    Shut& shut = shutBuses();
    if (result.sessionSilent && !shut.session) {
        shut.session = true;
        shut.sessionAddress = environment(sessionVariable);
        ::setenv(sessionVariable, noBus, 1);
    }
    if (result.systemSilent && !shut.system) {
        shut.system = true;
        shut.systemAddress = environment(systemVariable);
        ::setenv(systemVariable, noBus, 1);
    }
}

void BusCheck::giveBack(QProcessEnvironment& environment) {
    const Shut& shut = shutBuses();
    auto put = [&](bool was, const char* name, const std::optional<std::string>& address) {
        if (!was) {
            return;
        }
        if (address) {
            environment.insert(name, QString::fromStdString(*address));
        } else {
            environment.remove(name);
        }
    };
    put(shut.session, sessionVariable, shut.sessionAddress);
    put(shut.system, systemVariable, shut.systemAddress);
}

} // namespace helm
