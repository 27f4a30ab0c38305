// The application's side of the PC link: creating and starting the hub and answering it.
#include "app/App.h"
#include "app/DefaultsKeyValues.h"
#include "app/HostName.h"
#include "app/HubLog.h"
#include "app/Log.h"
#include "desk/PCName.h"
#include "link/Decimal.h"
#include "link/Hub.h"
#include "link/SecretKeeper.h"
#include "link/Wire.h"

#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <set>
#include <system_error>
#include <tuple>
#include <utility>

namespace helm {

namespace {

// A port from the environment, for end-to-end tests that run side by side; read in simulation
// mode only, so users never meet it.
std::uint16_t portFromEnvironment(const char* name, std::uint16_t fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr) {
        return fallback;
    }
    if (std::optional<std::uint16_t> port = parsePort(text)) {
        return *port;
    }
    log(std::string(name) + " ignored: not a port");
    return fallback;
}

// A stall time from the environment, for end-to-end tests of a PC that stops reading; read in
// simulation mode only.
std::chrono::milliseconds millisecondsFromEnvironment(const char* name,
                                                      std::chrono::milliseconds fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr) {
        return fallback;
    }
    if (std::optional<std::int64_t> ms = parseDecimal(text); ms && *ms > 0) {
        return std::chrono::milliseconds(*ms);
    }
    log(std::string(name) + " ignored: not a number of milliseconds");
    return fallback;
}

const std::string deafProblem =
    "Helmvantor can't use the network. Quit other copies of Helmvantor.";
const std::string tailscaleProblem =
    "Tailscale isn't running, so Helmvantor can't listen only on it. Start Tailscale or turn the "
    "setting off.";

} // namespace

Hub& App::hub() {
    if (hub_) {
        return *hub_;
    }
    // Every PC of every desk, so a PC whose setup is not in use still gets its key.
    std::set<std::string> pcs;
    auto collect = [&pcs](const Layout& layout) {
        for (const Screen& s : layout.screens) {
            if (s.computer) {
                pcs.insert(*s.computer);
            }
        }
    };
    for (const Setups::Setup& setup : setups().list) {
        collect(setup.layout);
    }
    collect(layout_);
    secretDefaults_ = std::make_unique<DefaultsKeyValues>(d);
    secrets_ = std::make_unique<SecretKeeper>(*platform_.secrets, *secretDefaults_,
                                              Secret::Options{simOnly_, commandLine_.token()},
                                              [](const std::string& line) { log(line); });
    secrets_->onProblem = [this](const std::string& sentence) { note(sentence); };
    Hub::Options options;
    options.addresses = platform_.addresses.get();
    options.budget = linkBudget;
    if (simOnly_) {
        options.port = portFromEnvironment("HELMVANTOR_HUB_PORT", Hub::port);
        options.discoveryPort =
            portFromEnvironment("HELMVANTOR_DISCOVERY_PORT", Hub::discoveryPort);
        options.stall = millisecondsFromEnvironment("HELMVANTOR_HUB_STALL_MS", options.stall);
    }
    hub_ =
        std::make_unique<Hub>(PCKeys(), hostName(listedNameFallback), secrets_->hubId(), options);
    secrets_->loadKeys(std::vector<std::string>(pcs.begin(), pcs.end()),
                       [this](PCKeys keys) { keysArrived(std::move(keys)); });
    return *hub_;
}

void App::keysArrived(PCKeys keys) {
    hub_->setKeys(std::move(keys));
    keysIn_ = true;
    for (auto& fn : std::exchange(afterKeys_, {})) {
        fn();
    }
    if (startAsked_) {
        startHub();
    }
    refreshShownSettings(); // the Computers page says where the keys are kept
}

void App::whenKeys(std::function<void()> fn) {
    hub();
    if (keysIn_) {
        fn();
    } else {
        afterKeys_.push_back(std::move(fn));
    }
}

std::optional<std::string> App::agentName(const std::string& id) const {
    std::optional<Screen> s = screen(id);
    if (!s || !s->computer || !connected.contains(*s->computer)) {
        return std::nullopt;
    }
    return s->computer;
}

void App::sendJump() {
    std::optional<json::Json> recipe;
    if (std::optional<JumpRecipe> j = jump()) {
        try {
            recipe = j->colored(prefs.jumpColor()).toJson();
        } catch (const std::exception&) {
            recipe.reset(); // a recipe that will not encode goes out as none
        }
    }
    const std::string line = Wire::animation(recipe);
    if (line == sentJump) {
        return;
    }
    sentJump = line;
    for (const std::string& pc : connected) {
        post(line, pc);
    }
}

void App::identify() {
    for (const Screen& s : layout_.screens) {
        if (s.local()) {
            overlays.show(s.display, s.number, s.name, MacOverlays::Mode::number());
        } else if (s.computer && connected.contains(*s.computer)) {
            post(Wire::overlay(s.display, "id", s.number), *s.computer);
        }
    }
    after(3.0, [this, alive = std::weak_ptr<int>(alive_), round = ++identifyRound_] {
        if (alive.expired() || round != identifyRound_) {
            return;
        }
        overlays.hideAll();
        for (const Screen& s : layout_.screens) {
            if (s.computer && connected.contains(*s.computer)) {
                post(Wire::overlay(s.display, "off", s.number), *s.computer);
            }
        }
    });
}

void App::wireHub() {
    Hub& h = hub();
    hubLog_ = std::make_shared<HubLog>([](const std::string& line) { log(line); });
    h.log = [hubLog = hubLog_](const std::string& line) { (*hubLog)(LogSource::hub, "", line); };
    h.logFrom = [hubLog = hubLog_](LogSource from, const std::string& pc, const std::string& line) {
        (*hubLog)(from, pc, line);
    };
    h.onKeys = [this](const PCKeys& keys) { secrets_->saveKeys(keys); };
    h.keepKeys = [this](const PCKeys& keys, std::function<void(bool)> stored) {
        secrets_->saveKeys(keys, std::move(stored));
    };
    h.onConfirm = [this](const std::string& pc, const std::optional<std::string>& code) {
        confirmInGuide(pc, code);
    };
    h.onPaired = [this](const std::string& pc) { guidePaired(pc); };
    h.onPairLeft = [this](const std::string& pc) { pairLeft(pc); };
    h.tailscaleOnly = prefs.tailscaleOnly();
    h.onEdge = [this](const std::string& pc, bool right) {
        if (!prefs.edgeBackup()) {
            return;
        }
        std::optional<Screen> s = screen(router().mouse);
        if (s && s->computer == pc) {
            edgeSwitch(*s, right);
        }
    };
    h.onProblem = [this](const std::string& sentence) { note(sentence); };
    h.onActivity = [this](const std::string& pc) { remoteActivity(pc); };
    h.onRemoteInput = [this](const std::string& pc, const std::string& line) {
        remoteInput(pc, line);
    };
    h.fastMove = [this](const std::string& pc, std::int64_t dx, std::int64_t dy) {
        return fastMove(pc, dx, dy);
    };
    h.onCapOff = [this](const std::string& pc) { capTakenBack(pc); };
    h.onListening = [this] {
        if (problem == deafProblem || problem == tailscaleProblem) {
            problem.reset(); // a later start or restart is listening
            refresh();
        }
    };
    // The hub tells the main thread who is linked, so nothing here ever waits for its queue.
    h.onChange = [this] {
        connected = hub().linked();
        DeskModel& model = desk();
        model.agents.assign(connected.begin(), connected.end());
        model.changed();
        checkSetup();
        sentJump.clear(); // a PC that just logged in has no recipe yet
        sendJump();
        updateGrabs();
        refresh();
    };
    h.onDisplays = [this](const std::string& pc, const std::vector<DisplayInfo>& displays) {
        Layout merged = layout_;
        for (const std::string& line : merged.sync(pc, shownPCName(pc), displays)) {
            log(line);
        }
        setLayout(std::move(merged));
        log(pc + " has " + std::to_string(displays.size()) + " monitor(s)");
    };
    h.onLost = [this](const std::string& pc) {
        connected = hub().linked();
        sourceLost(pc);
        for (const Screen& s : std::vector<Screen>(layout_.screens)) {
            if (!s.computer || connected.contains(*s.computer)) {
                continue;
            }
            if (router().keys == s.id || router().mouse == s.id) {
                apply(router().lost(s.id));
            }
        }
        updateGrabs();
        refresh();
    };
    wireClipboard(h);
    // Whatever a PC's line makes this program log goes through that PC's repeat filter, so a
    // paired PC cannot empty the log with a flood of valid lines either, nor hide another's.
    auto fromPC = [hubLog = hubLog_](auto callback) {
        return [hubLog, callback](auto&&... args) {
            std::string pc;
            if constexpr (sizeof...(args) > 0) {
                pc = std::get<0>(std::forward_as_tuple(args...)); // every callback's first: the PC
            }
            LogRoute through(
                [&hubLog, &pc](const std::string& line) { (*hubLog)(LogSource::pc, pc, line); });
            callback(std::forward<decltype(args)>(args)...);
        };
    };
    h.onConfirm = fromPC(std::move(h.onConfirm));
    h.onPaired = fromPC(std::move(h.onPaired));
    h.onPairLeft = fromPC(std::move(h.onPairLeft));
    h.onEdge = fromPC(std::move(h.onEdge));
    h.onActivity = fromPC(std::move(h.onActivity));
    h.onRemoteInput = fromPC(std::move(h.onRemoteInput));
    h.onCapOff = fromPC(std::move(h.onCapOff));
    h.onChange = fromPC(std::move(h.onChange));
    h.onDisplays = fromPC(std::move(h.onDisplays));
    h.onLost = fromPC(std::move(h.onLost));
    h.onClip = fromPC(std::move(h.onClip));
}

void App::startHub() {
    if (!keysIn_) {
        // No PC can be let in, or paired, before the hub knows the keys it has.
        startAsked_ = true;
        hub();
        return;
    }
    if (hubRetriesLeft < 0) {
        // A run started by the one before it may find the ports still held for a moment.
        hubRetriesLeft = qEnvironmentVariableIsSet("HELMVANTOR_RELAUNCHED") ? 20 : 0;
        qunsetenv("HELMVANTOR_RELAUNCHED");
    }
    try {
        hub().start();
    } catch (const std::system_error& e) {
        log(std::string("hub: ") + e.what());
        problem = prefs.tailscaleOnly() ? tailscaleProblem : deafProblem;
    } catch (const std::exception& e) {
        if (hubRetriesLeft > 0) {
            --hubRetriesLeft;
            QTimer::singleShot(250, [this, alive = std::weak_ptr<int>(alive_)] {
                if (!alive.expired()) {
                    startHub();
                }
            });
            return;
        }
        log(std::string("hub: ") + e.what());
        // Listening only on Tailscale fails when it has no address here; quitting other
        // copies would not help then.
        problem = prefs.tailscaleOnly() ? tailscaleProblem : deafProblem;
    }
}

} // namespace helm
