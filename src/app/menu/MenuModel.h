#pragma once

#include <QObject>

#include <functional>
#include <optional>
#include <string>

namespace helm {

// What the menu's header shows, and what its four buttons do. The refresh writes the header;
// the view redraws on changed(). Main thread only.
class MenuModel : public QObject {
    Q_OBJECT
public:
    struct Header {
        std::string title;
        std::optional<std::string> detail;
        bool warning = false; // something needs the user: warning symbol, orange
        bool paused = false;  // following is paused
        bool remote = false;  // keys or mouse are on a PC
        friend bool operator==(const Header&, const Header&) = default;
    };

    const Header& header() const { return header_; }
    // Announces the change only when something differs.
    void setHeader(Header header);

    std::function<void()> onPause = [] {};
    std::function<void()> onCalibrate = [] {};
    std::function<void()> onSettings = [] {};
    std::function<void()> onReset = [] {};

signals:
    void changed();

private:
    Header header_;
};

} // namespace helm
