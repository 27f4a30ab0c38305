#pragma once

#include <QAbstractButton>

namespace helm {

// The guide's button for the one action that moves the user on: dark text on green, or grey
// text on a grey fill while not enabled. enabled only changes the drawing; a caller that wants
// the button inert disables it too. Takes no keyboard focus: the guide window routes its keys.
class PrimaryButton : public QAbstractButton {
public:
    explicit PrimaryButton(const QString& text, QWidget* parent = nullptr);

    bool looksEnabled() const { return enabled_; }
    void setLooksEnabled(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool enabled_ = true;
};

} // namespace helm
