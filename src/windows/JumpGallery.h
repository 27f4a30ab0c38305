#pragma once

#include "overlays/JumpRecipe.h"

#include <QAbstractButton>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace helm {

class JumpPreview;

// One effect of the gallery: its live preview, its number and its name; outlined in green
// while it is the chosen effect.
class JumpTile : public QAbstractButton {
public:
    JumpTile(const JumpRecipe& recipe, int number, const std::string& color,
             std::function<bool()> reduceMotion, QWidget* parent = nullptr,
             std::function<double()> clock = {});
    void setChosen(bool chosen);
    bool chosen() const { return chosen_; }
    // Lays the tile out w pixels wide; its height follows.
    void place(int x, int y, int w);
    int heightFor(int w) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    JumpPreview* preview_;
    bool chosen_ = false;
};

// The effects in columns of at least 150 px, 12 px apart; the tiles are made again only when
// the recipes or the colour change.
class JumpGallery : public QWidget {
public:
    // clock gives the previews' time; none means the media clock.
    explicit JumpGallery(std::function<bool()> reduceMotion, QWidget* parent = nullptr,
                         std::function<double()> clock = {});

    // pick receives the recipe's id.
    void show(const std::vector<JumpRecipe>& recipes, const std::string& color,
              const std::string& chosen, std::function<void(const std::string&)> pick);
    const std::vector<JumpTile*>& tiles() const { return tiles_; }
    static int columns(int width);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int w) const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::function<bool()> reduceMotion_;
    std::function<double()> clock_;
    std::vector<JumpTile*> tiles_;
    std::vector<std::string> ids_;
    std::string color_;
    void layTiles();
};

} // namespace helm
