#pragma once

#include <QAbstractButton>
#include <QFont>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace helm {

// Side-by-side exclusive choices, the chosen one lit up with its text in the ink colour; it can
// also show none chosen (a stored value between them).
class Segmented : public QWidget {
public:
    Segmented(const std::vector<std::string>& titles, int width, std::function<void(int)> onPick,
              const QFont& font, QWidget* parent = nullptr);
    // -1 selects none; emits nothing.
    void select(int index);
    int selected() const;
    QAbstractButton* segment(int index) const { return buttons_.at(index); }

private:
    std::vector<QAbstractButton*> buttons_;
};

} // namespace helm
