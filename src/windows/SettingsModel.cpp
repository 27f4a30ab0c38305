#include "windows/SettingsModel.h"

#include "platform/LoginItem.h"

#include <map>

namespace helm {

SettingsModel::SettingsModel(Prefs& p, LoginItem* loginItem)
    : prefs(p), loginItem_(loginItem), startAtLogin_(loginItem != nullptr && loginItem->enabled()) {
}

void SettingsModel::setTab(const std::string& tab) {
    set(tab_, tab);
    onTab(tab);
}

void SettingsModel::setStartAtLogin(bool on) {
    std::optional<std::string> failure = loginItem_ != nullptr
                                             ? loginItem_->setEnabled(on)
                                             : std::optional<std::string>("no login items here");
    std::optional<std::string> message;
    if (failure) {
        // The sentence the window shows, kept as the program has always worded it.
        message = "The desktop didn't allow it: " + *failure;
    }
    bool now = loginItem_ != nullptr && loginItem_->enabled();
    bool differs = message != loginMessage_ || now != startAtLogin_;
    loginMessage_ = message;
    startAtLogin_ = now;
    if (differs) {
        emit changed();
    }
}

} // namespace helm

namespace helm {

std::vector<SettingsModel::Computer>
SettingsModel::computersOf(const Layout& layout, const std::set<std::string>& connected) {
    std::vector<Computer> list;
    std::map<std::string, std::size_t> at;
    for (const Screen& s : layout.screens) {
        std::string key = s.computer.value_or("mac");
        auto it = at.find(key);
        if (it != at.end()) {
            ++list[it->second].monitors;
            continue;
        }
        bool local = !s.computer.has_value();
        at.emplace(key, list.size());
        list.push_back({key, s.computerName, 1, local || connected.count(key) != 0, local});
    }
    return list;
}

} // namespace helm
