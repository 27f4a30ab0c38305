#pragma once

#include <QWidget>

#include <vector>

namespace helm {

// The guide's header bar: the product mark and title, and on the right one item per step from
// Camera to Fine-tune showing whether it is done, current or still to do.
class GuideHeader : public QWidget {
public:
    explicit GuideHeader(QWidget* parent = nullptr);
    void setStep(int step);

    // "Step 3, Connect PC, current" for item i (1 to 5) at that step.
    static QString itemName(int i, int step);

private:
    class Item;
    std::vector<Item*> items_;
};

} // namespace helm
