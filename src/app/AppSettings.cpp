// The settings window: its model, the actions it asks for, and the new-secret restart.
#include "app/App.h"

#include "app/DarkAlert.h"
#include "app/Log.h"
#include "gaze/camera/GazeEngine.h"
#include "link/Hub.h"
#include "link/MacClipboard.h"
#include "link/PCKeys.h"
#include "link/SecretKeeper.h"
#include "overlays/draw/JumpPreview.h"
#include "platform/Paths.h"
#include "ui/DarkPalette.h"
#include "windows/SettingsModel.h"
#include "windows/SettingsView.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QVBoxLayout>

namespace helm {

namespace {

// The settings' own top-level window: closing only hides it, so its pages and their state
// stay for the next opening.
class SettingsWindow : public QWidget {
public:
    SettingsWindow(SettingsModel& model, Prefs& prefs) {
        setWindowTitle("Helmvantor Settings");
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
        setFixedSize(820, 560);
        if (QStyle* fusion = QStyleFactory::create("Fusion")) {
            fusion->setParent(this); // a widget's style is not owned by it
            setStyle(fusion);
        }
        setPalette(darkPalette());
        auto* box = new QVBoxLayout(this);
        box->setContentsMargins(0, 0, 0, 0);
        box->addWidget(new SettingsView(model, prefs, this));
    }
};

bool askNewSecret() {
    QMessageBox box;
    box.setIcon(QMessageBox::Warning);
    box.setText("Start over with a new secret?");
    box.setInformativeText("Every PC disconnects and has to be paired again with a new 6-digit "
                           "code. Helmvantor restarts.");
    QPushButton* yes = box.addButton("New secret", QMessageBox::AcceptRole);
    QPushButton* no = box.addButton("Cancel", QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    darkAlert(box);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace

SettingsModel& App::settings() {
    if (!settingsModel_) {
        settingsModel_ = std::make_unique<SettingsModel>(prefs, platform_.loginItem.get());
    }
    return *settingsModel_;
}

void App::setUpSettings() {
    SettingsModel& s = settings();
    s.setFeed(&feed);
    auto closeWindow = [this] {
        if (settingsWindow_) {
            settingsWindow_->close();
        }
    };
    s.onRename = [this](const std::string& id, const std::string& name) {
        Layout copy = layout_;
        for (Screen& screen : copy.screens) {
            if (screen.computer.value_or("mac") == id) {
                screen.computerName = name; // stored as typed, empty or repeated included
            }
        }
        setLayout(copy);
        refreshSettings();
    };
    s.onForget = [this](const std::string& id) {
        whenKeys([this, id] { hub().forget(id); });
        Layout copy = layout_;
        std::erase_if(copy.screens, [&](const Screen& screen) { return screen.computer == id; });
        setLayout(copy);
        refreshSettings();
    };
    s.onNewSecret = [this] {
        bool yes = confirmNewSecret ? confirmNewSecret() : askNewSecret();
        if (yes) {
            newSecret();
        }
    };
    s.onAddPC = [this] { addPCInGuide(); };
    s.onIdentify = [this] { identify(); };
    s.onReset = [this] { resetDefaults(); };
    s.onRecord = [this, closeWindow] {
        // Nothing to film without a camera: the window stays and says so.
        if (!gaze().available()) {
            settings().setRecordMessage("A test session needs a camera. Plug one in, then try "
                                        "again.");
            return;
        }
        settings().setRecordMessage(std::nullopt);
        closeWindow();
        startRecording();
    };
    auto calibrateAll = [this, closeWindow](bool precise) {
        closeWindow();
        calibrateInGuide(precise);
    };
    s.onCalibrate = [calibrateAll] { calibrateAll(false); };
    s.onPrecise = [calibrateAll] { calibrateAll(true); };
    s.onCheck = [this, closeWindow] {
        closeWindow();
        startCheck();
    };
    s.jumps = jumps ? jumps->recipes : std::vector<JumpRecipe>{};
    s.onTryJump = [this](const JumpRecipe& r) { tryJump(r); };
    s.reduceMotion = [this] { return reducedMotion(); };
    s.onUseSetup = [this](const std::string& name) { useSetup(name, false); };
    s.onNewSetup = [this] { newSetup(); };
    s.onRenameSetup = [this](const std::string& from, const std::string& to) {
        renameSetup(from, to);
    };
    s.onDeleteSetup = [this](const std::string& name) { deleteSetup(name); };
    s.onTab = [this](const std::string& tab) {
        if (tab == "camera" && !cameraOn && !commandLine_.noCamera()) {
            setCamera(true, "camera settings");
        }
    };
    s.onShowReceived = [this] {
        // Made now, so the file manager has a folder to show before the first file arrives.
        const std::string folder = MacClipboard::inbox();
        MacClipboard::makeInbox(folder);
        const std::optional<std::string> failure =
            platform_.workspace ? platform_.workspace->openFolder(folder)
                                : std::optional<std::string>("nothing can show folders here");
        const std::optional<std::string> message =
            failure ? std::optional<std::string>("Received files are in " + folder +
                                                 ". It couldn't be shown: " + *failure + ".")
                    : std::nullopt;
        settings().setReceivedMessage(message);
        if (failure) {
            log("received files not shown: " + *failure);
            // Where the user looks after a click that opened nothing, whatever covers the window.
            note(*message);
        }
    };
}

void App::refreshSettings() {
    SettingsModel& s = settings();
    s.setComputers(SettingsModel::computersOf(layout_, connected));
    std::vector<std::string> names;
    for (const Setups::Setup& setup : setups().list) {
        names.push_back(setup.name);
    }
    s.setSetups(names);
    s.setActiveSetup(setups().active);
    s.setAngle(angle);
    s.setBrightness(brightness);
    s.setSecretsFile(platform_.secrets ? platform_.secrets->keptIn() : std::nullopt);
    if (std::optional<std::string> sentence = health()) {
        s.setHealth(*sentence);
        s.setHealthOK(false);
    } else {
        s.setHealth(cameraOn ? "Camera on, sees you" : "Camera off");
        s.setHealthOK(cameraOn);
    }
}

void App::refreshShownSettings() {
    if (!settingsWindow_ || !settingsWindow_->isVisible()) {
        return;
    }
    refreshSettings();
    std::string look = "—";
    if (picker.atKeyboard) {
        look = "Your keyboard";
    } else if (std::optional<Screen> s = picker.current ? screen(*picker.current) : std::nullopt) {
        look = std::to_string(s->number) + " · " + s->name;
    } else if (!angle) {
        look = "No face seen";
    }
    settings().setLiveLook(look);
}

void App::openSettings() {
    if (!settingsWindow_) {
        settingsWindow_ = std::make_unique<SettingsWindow>(settings(), prefs);
        if (platform_.windows) {
            // The effect previews stop while other windows cover the window.
            QPointer<QWidget> w = settingsWindow_.get();
            platform_.windows->watchCover(static_cast<unsigned long>(w->winId()), [w](bool c) {
                if (w) {
                    w->setProperty(JumpPreview::coveredProperty, c);
                }
            });
        }
        if (QScreen* primary = QGuiApplication::primaryScreen()) {
            QRect area = primary->availableGeometry();
            settingsWindow_->move(area.center() - settingsWindow_->rect().center());
        }
    }
    refreshSettings();
    settingsWindow_->show();
    settingsWindow_->raise();
    settingsWindow_->activateWindow();
}

void App::newSecret() {
    hub(); // the secret and the keys live with the hub
    if (!keysIn_) {
        log("new secret: waiting for the stored keys");
    }
    whenKeys([this] {
        hub_->forgetAll();
        // Stored here and now: a callback from the hub could come after this run has ended.
        secrets_->startOver([this](bool saved) {
            if (!saved) {
                log("new secret: the emptied keys couldn't be stored");
                note("The new secret couldn't be saved. Try again.");
                return;
            }
            restartWithNewSecret();
        });
    });
}

void App::restartWithNewSecret() {
    hub_->stopListening();
    // The old secret would live on in the successor.
    const std::vector<std::string> args = commandLine_.withoutToken();
    d.flush(); // the successor reads the file as it starts
    std::optional<std::string> failure =
        platform_.workspace ? platform_.workspace->startSuccessor(args)
                            : std::optional<std::string>("nothing can start programs here");
    if (failure) {
        log("relaunch failed: " + *failure);
        startHub();
        note("Helmvantor couldn't restart. Quit it and open it again.");
        return;
    }
    log("new secret: restarting");
    QMetaObject::invokeMethod(
        qApp, [this] { quit ? quit() : QCoreApplication::quit(); }, Qt::QueuedConnection);
}

} // namespace helm
