#include "platform/Platform.h"
#include "platform/linux/CanberraChimes.h"
#include "platform/linux/DbusScreenLock.h"
#include "platform/linux/DesktopWorkspace.h"
#include "platform/linux/FallbackSecretStore.h"
#include "platform/linux/IfaddrsAddresses.h"
#include "platform/linux/LibsecretStore.h"
#include "platform/linux/QtSpeech.h"
#include "platform/linux/V4l2Camera.h"
#include "platform/linux/XdgLoginItem.h"
#include "platform/qt/QtPasteboard.h"
#include "platform/x11/X11ClipboardReader.h"
#include "platform/x11/X11DesktopWindows.h"
#include "platform/x11/X11DisplaySource.h"
#include "platform/x11/X11Input.h"
#include "platform/x11/X11Pointer.h"
#include "platform/x11/X11PointerPoster.h"
#include "platform/x11/X11ReduceMotion.h"

namespace helm {

Platform x11Platform(const std::string& secretService, InputService::Log log) {
    Platform p;
    if (!log) {
        log = [](const std::string&) {};
    }
    // Many X11 desktops run no Secret Service at all: the keys then live in a private file.
    p.secrets = std::make_unique<FallbackSecretStore>(
        std::make_unique<LibsecretStore>(secretService),
        std::make_unique<FileSecretStore>(FileSecretStore::standardPath(), log), log);
    p.screenLock = std::make_unique<DbusScreenLock>();
    p.displays = std::make_unique<X11DisplaySource>();
    p.pointer = std::make_unique<X11Pointer>();
    p.poster = std::make_unique<X11PointerPoster>();
    auto loginItem = std::make_unique<XdgLoginItem>(XdgLoginItem::forThisProgram());
    loginItem->log = log;
    p.loginItem = std::move(loginItem);
    p.input = X11Input::open("", std::move(log)); // none when the server cannot be reached
    p.workspace = std::make_unique<DesktopWorkspace>();
    p.windows = std::make_unique<X11DesktopWindows>();
    p.reduceMotion = std::make_unique<X11ReduceMotion>();
    p.speech = [](std::function<void(const std::string&)> log) {
        return QtSpeech::open(std::move(log));
    };
    p.chimes = [] { return CanberraChimes::open(); };
    p.pasteboard = std::make_unique<QtPasteboard>(
        [](std::uint64_t most) { return std::make_shared<X11ClipboardReader>(most); });
    p.addresses = std::make_unique<IfaddrsAddresses>();
    p.camera = std::make_shared<V4l2Camera>();
    return p;
}

} // namespace helm
