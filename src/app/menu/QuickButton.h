#pragma once

#include <QAbstractButton>

#include <functional>
#include <string>

namespace helm {

// One of the header's four buttons: an icon above a short title on a faint rounded plate that
// brightens under the pointer and dims while pressed.
class QuickButton : public QAbstractButton {
    Q_OBJECT
public:
    QuickButton(std::string icon, const QString& title, std::function<void()> action,
                QWidget* parent = nullptr);

    void set(std::string icon, const QString& title);
    const std::string& icon() const { return icon_; }
    bool hover() const { return hover_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    std::string icon_;
    std::function<void()> action_;
    bool hover_ = false;
};

} // namespace helm
