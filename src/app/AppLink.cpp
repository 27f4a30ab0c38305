// The application's side of the PC link: creating and starting the hub and answering it.
#include "app/App.h"
#include "app/DefaultsKeyValues.h"
#include "app/HostName.h"
#include "app/Log.h"
#include "app/RepeatFilter.h"
#include "link/Hub.h"
#include "link/Secret.h"

#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <set>
#include <system_error>

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
    std::set<std::string> pcs;
    for (const Screen& s : layout_.screens) {
        if (s.computer) {
            pcs.insert(*s.computer);
        }
    }
    secretDefaults_ = std::make_unique<DefaultsKeyValues>(d);
    secret_ =
        std::make_unique<Secret>(*platform_.secrets, *secretDefaults_,
                                 Secret::Options{simOnly_, Secret::tokenFrom(commandLine_.args)},
                                 [](const std::string& line) { log(line); });
    PCKeys keys = secret_->loadKeys(std::vector<std::string>(pcs.begin(), pcs.end()));
    Hub::Options options;
    options.addresses = platform_.addresses.get();
    if (simOnly_) {
        options.port = portFromEnvironment("HELMVANTOR_HUB_PORT", Hub::port);
        options.discoveryPort =
            portFromEnvironment("HELMVANTOR_DISCOVERY_PORT", Hub::discoveryPort);
    }
    hub_ = std::make_unique<Hub>(std::move(keys), hostName("Mac"), secret_->hubId(), options);
    return *hub_;
}

void App::wireHub() {
    Hub& h = hub();
    hubLog_ = std::make_shared<RepeatFilter>([](const std::string& line) { log(line); });
    h.log = [filter = hubLog_](const std::string& line) { (*filter)(line); };
    h.onKeys = [this](const PCKeys& keys) { secret_->saveKeys(keys); };
    h.onProblem = [this](const std::string& sentence) { note(sentence); };
    // The hub tells the main thread who is linked, so nothing here ever waits for its queue.
    h.onChange = [this] {
        connected = hub().linked();
        wireDesk(); // the desk views' online PCs
        updateGrabs();
        refresh();
    };
    h.onLost = [this](const std::string&) {
        connected = hub().linked();
        updateGrabs();
        refresh();
    };
    h.onListening = [this] {
        if (problem == deafProblem || problem == tailscaleProblem) {
            problem.reset(); // a later start or restart is listening
            refresh();
        }
    };
    h.onConfirm = [this](const std::string& pc, const std::optional<std::string>& code) {
        confirmInGuide(pc, code);
    };
    h.onPaired = [this](const std::string& pc) { guidePaired(pc); };
    h.tailscaleOnly = prefs.tailscaleOnly();
    wireClipboard(h);
}

void App::startHub() {
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
