#include "platform/linux/XdgLoginItem.h"

#include "platform/Paths.h"
#include "platform/WholeFile.h"
#include "platform/linux/DesktopEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdlib>
#include <utility>

namespace helm {

namespace {

// Read at start on the main thread: an entry larger than any real one counts as none.
std::optional<std::string> readFile(const std::string& path) {
    StoredText read = wholeFile::read(path, 1'000'000);
    if (read.status != StoredText::Status::ok) {
        return std::nullopt;
    }
    return std::move(read.text);
}

bool startsProgram(const std::string& text) {
    auto keys = DesktopEntry::read(text);
    auto is = [&](const char* key, const char* value) {
        auto it = keys.find(key);
        return it != keys.end() && it->second == value;
    };
    return !is("Hidden", "true") && !is("X-GNOME-Autostart-enabled", "false");
}

} // namespace

XdgLoginItem::XdgLoginItem(std::string program, std::string configHome,
                           std::vector<std::string> configDirs)
    : program_(std::move(program)), configHome_(std::move(configHome)),
      configDirs_(std::move(configDirs)) {}

XdgLoginItem XdgLoginItem::forThisProgram() {
    std::vector<std::string> dirs;
    const char* env = std::getenv("XDG_CONFIG_DIRS");
    std::string list = env != nullptr && *env != 0 ? env : "/etc/xdg";
    std::size_t at = 0;
    while (at <= list.size()) {
        std::size_t colon = list.find(':', at);
        std::string dir = list.substr(at, colon == std::string::npos ? colon : colon - at);
        if (!dir.empty() && dir[0] == '/') { // relative entries are ignored, as the rules say
            dirs.push_back(dir);
        }
        if (colon == std::string::npos) {
            break;
        }
        at = colon + 1;
    }
    return XdgLoginItem(QCoreApplication::applicationFilePath().toStdString(), paths::configHome(),
                        std::move(dirs));
}

std::string XdgLoginItem::path() const {
    return configHome_ + "/autostart/" + fileName;
}

std::optional<std::string> XdgLoginItem::systemEntry() const {
    for (const std::string& dir : configDirs_) {
        std::string p = dir + "/autostart/" + fileName;
        if (QFile::exists(QString::fromStdString(p))) {
            return p;
        }
    }
    return std::nullopt;
}

bool XdgLoginItem::enabled() const {
    std::optional<std::string> text = readFile(path());
    if (!text) {
        std::optional<std::string> sys = systemEntry();
        text = sys ? readFile(*sys) : std::nullopt;
    }
    return text && startsProgram(*text);
}

std::optional<std::string> XdgLoginItem::program() const {
    std::optional<std::string> text = readFile(path());
    if (!text) {
        return std::nullopt;
    }
    auto keys = DesktopEntry::read(*text);
    auto exec = keys.find("Exec");
    if (exec == keys.end()) {
        return std::nullopt;
    }
    auto args = DesktopEntry::splitExec(exec->second);
    if (!args || args->empty()) {
        return std::nullopt;
    }
    return args->front();
}

std::optional<std::string> XdgLoginItem::write(bool hidden) const {
    QString dir = QString::fromStdString(configHome_ + "/autostart");
    if (!QDir().mkpath(dir)) {
        return "can't make the folder " + dir.toStdString();
    }
    std::string text = "[Desktop Entry]\nType=Application\nName=Helmvantor\n"
                       "Comment=Moves keyboard and mouse to the screen you look at\n";
    text += "Exec=" + DesktopEntry::escape(DesktopEntry::quoteArg(program_)) + "\n";
    text += "Terminal=false\n";
    text += hidden ? "Hidden=true\n" : "X-GNOME-Autostart-enabled=true\n";
    if (std::optional<WriteFailure> failed = wholeFile::write(path(), text, 0644)) {
        if (log) {
            log("autostart: not saved (" + failed->problem + ")");
        }
        return "couldn't save " + path() + ": " + failed->reason;
    }
    return std::nullopt;
}

std::optional<std::string> XdgLoginItem::setEnabled(bool on) {
    if (on) {
        return write(false);
    }
    QFile ours(QString::fromStdString(path()));
    if (ours.exists() && !ours.remove()) {
        return ours.errorString().toStdString();
    }
    // A system-wide entry would still start us: an entry of ours saying Hidden turns it off.
    if (systemEntry()) {
        return write(true);
    }
    return std::nullopt;
}

} // namespace helm
