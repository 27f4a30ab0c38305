#pragma once

#include "DeskSample.h"
#include "desk/Defaults.h"
#include "desk/Prefs.h"
#include "windows/SettingsModel.h"
#include "windows/SettingsPage.h"
#include "windows/SettingsRow.h"
#include "windows/SettingsView.h"

#include <QLabel>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace helm::test {

// A view over a fresh store, counting the preference writes.
struct Fixture {
    Defaults d;
    Prefs prefs{d};
    SettingsModel model{prefs};
    int writes = 0;
    std::unique_ptr<SettingsView> view;

    Fixture() {
        test::needApplication();
        prefs.onChange = [this] { ++writes; };
    }
    SettingsPage* open(const std::string& tab) {
        model.setTab(tab);
        if (!view) {
            view = std::make_unique<SettingsView>(model, prefs);
            view->resize(820, 560);
        }
        return view->page();
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (SettingsRow* r : view->page()->rows()) {
            out.push_back(r->title().toStdString());
        }
        return out;
    }
    // Not every widget here declares itself to Qt's casts, so the standard cast decides.
    template <typename T> std::vector<T*> all() const {
        std::vector<T*> out;
        for (QWidget* w : view->page()->findChildren<QWidget*>()) {
            if (auto* t = dynamic_cast<T*>(w)) {
                out.push_back(t);
            }
        }
        return out;
    }
    // The visible texts of the page, for checking what a user reads.
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (QLabel* l : all<QLabel>()) {
            if (!l->isHidden()) {
                out.push_back(l->text().toStdString());
            }
        }
        return out;
    }
    bool reads(const std::string& text) const {
        auto t = texts();
        return std::find(t.begin(), t.end(), text) != t.end();
    }
};

} // namespace helm::test
