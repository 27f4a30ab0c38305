#pragma once

#include "desk/Defaults.h"
#include "desk/DeskModel.h"
#include "desk/Observers.h"
#include "windows/StoredChoice.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class QAbstractButton;
class QVBoxLayout;

namespace helm {

class Segmented;

// The desk shown flat or in 3-D, with a two-segment picker above that flips between them and
// remembers the choice in the user defaults: under "map3d.edit" (flat at first) for an editable
// map, under "map3d" (3-D at first) for one that only shows. It sits in a MapFrame, which
// rounds its corners.
class MapSwitcher : public QWidget {
public:
    MapSwitcher(DeskModel& model, Defaults& d, bool editable = true,
                std::optional<std::string> target = std::nullopt, QWidget* parent = nullptr);
    ~MapSwitcher() override;

    bool threeD() const { return choice_->value(); }
    // The picker (carrying the tooltip) and its two segments.
    QWidget* picker() const;
    QAbstractButton* segment(bool threeD) const;
    // The map or the 3-D view shown now.
    QWidget* content() const { return content_; }

private:
    void sync();

    DeskModel& model_;
    const bool editable_;
    const std::optional<std::string> target_;
    std::shared_ptr<StoredChoice> choice_;
    Observers::Token token_ = 0;
    QVBoxLayout* column_ = nullptr;
    Segmented* picker_ = nullptr;
    QWidget* content_ = nullptr;
    bool contentIs3D_ = false;
};

} // namespace helm
