#pragma once

#include "windows/SettingsModel.h"

#include <QWidget>

#include <array>
#include <vector>

class QLabel;
class QScrollArea;
class QVBoxLayout;

namespace helm {

class SettingsPage;
class SidebarRow;

// The settings window's content: the sidebar of tabs, a divider, and the scrolling page of the
// open tab under its heading. It keeps nothing of its own: the open tab is the model's, and the
// page follows the model and the preferences whenever either changes.
class SettingsView : public QWidget {
public:
    struct Tab {
        const char* id;
        const char* title;
        const char* symbol;
    };
    static const std::array<Tab, 9> tabs;

    SettingsView(SettingsModel& model, Prefs& prefs, QWidget* parent = nullptr);
    ~SettingsView() override;

    // The page on show; none for a tab id not in the table.
    SettingsPage* page() const { return page_; }
    QString heading() const;
    const std::vector<SidebarRow*>& sidebar() const { return sidebar_; }
    QScrollArea* scrollArea() const { return scroll_; }

private:
    SettingsModel& model_;
    Prefs& prefs_;
    int prefsToken_;
    std::vector<SidebarRow*> sidebar_;
    QScrollArea* scroll_;
    QLabel* heading_;
    QVBoxLayout* pageStack_;
    SettingsPage* page_ = nullptr;
    std::string shownTab_;

    void sync();
};

} // namespace helm
