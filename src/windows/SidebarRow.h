#pragma once

#include <QAbstractButton>

#include <string>

namespace helm {

// One tab in the settings sidebar: its symbol and title, on a rounded highlight while selected.
class SidebarRow : public QAbstractButton {
public:
    SidebarRow(std::string id, const QString& title, std::string symbol, QWidget* parent = nullptr);

    const std::string& id() const { return id_; }
    void setSelected(bool selected);
    bool selected() const { return selected_; }
    QSize sizeHint() const override { return {186, 32}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string id_;
    std::string symbol_;
    bool selected_ = false;
};

} // namespace helm
