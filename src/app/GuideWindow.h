#pragma once

#include <QWidget>

#include <functional>
#include <memory>

namespace helm {

// The set-up guide's window: 960 × 720, fixed, with only a close button. Closing hides it;
// every hiding is reported, so what the guide left open (a pairing code) can be withdrawn.
class GuideWindow : public QWidget {
    Q_OBJECT
public:
    // view: the guide's content, owned by the window; none leaves it empty.
    explicit GuideWindow(std::unique_ptr<QWidget> view);

    std::function<void()> onHidden = [] {};
    // Shows the window in front of the others and gives it the keyboard.
    void activate();

protected:
    void hideEvent(QHideEvent* event) override;
};

} // namespace helm
