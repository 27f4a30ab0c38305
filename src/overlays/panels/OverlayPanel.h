#pragma once

#include <QWidget>

#include <memory>

namespace helm {

// A borderless, see-through window that never takes focus and lets every click through to
// the window below (unless it takes clicks itself). Over everything (override-redirect: above
// managed and full-screen windows, on every desktop) or, for the status box, managed and kept
// above. Its one content widget fills it.
class OverlayPanel : public QWidget {
public:
    enum class Level { overAll, floating };

    explicit OverlayPanel(Level level, bool takesClicks = false);

    // Replaces the content; the old one is deleted.
    void setContent(QWidget* content);
    QWidget* content() const { return content_; }

    // On screen and on top, without activating the program.
    void front();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* content_ = nullptr;
};

} // namespace helm
