#include "windows/ClipboardPage.h"

namespace helm {

ClipboardPage::ClipboardPage(SettingsModel& m, QWidget* parent) : SettingsPage(m, parent) {
    addSwitch(
        "Text", "Copy here, look there, paste.", [this] { return prefs.clipText(); },
        [this](bool v) { prefs.setClipText(v); });
    addSwitch(
        "Pictures", "Screenshots and copied images.", [this] { return prefs.clipPictures(); },
        [this](bool v) { prefs.setClipPictures(v); });
    addSwitch(
        "Files",
        "Up to 100 MB per copy. Paste in your file manager or File Explorer. Folders aren't "
        "sent yet.",
        [this] { return prefs.clipFiles(); }, [this](bool v) { prefs.setClipFiles(v); });
    addButtonRow("Files from your PCs go to", "Cleared after a day; they're copies.",
                 "Show received files", [this] { model.onShowReceived(); });
    addMessage([this]() -> const std::optional<std::string>& { return model.receivedMessage(); });
    sync();
}

} // namespace helm
