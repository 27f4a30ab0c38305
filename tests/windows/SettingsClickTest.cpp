// Each page's controls clicked as the user clicks them: what is stored under which key, and what
// the control shows afterwards.
#include "SettingsFixture.h"
#include "desk/Json.h"
#include "overlays/Jumps.h"
#include "overlays/draw/JumpsLoad.h"
#include "windows/JumpGallery.h"
#include "windows/JumpPage.h"
#include "windows/Segmented.h"
#include "windows/SettingsKit.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace helm {
namespace {

using test::Fixture;

// The control of the page's row with that title.
template <typename T> T* control(Fixture& f, const std::string& title) {
    for (SettingsRow* r : f.view->page()->rows()) {
        if (r->title().toStdString() == title) {
            return dynamic_cast<T*>(r->control());
        }
    }
    return nullptr;
}

// The switches of a page: each click stores the flipped value under the switch's own key and
// leaves the switch showing it.
void clickSwitches(const char* tab, const std::vector<std::pair<std::string, std::string>>& rows) {
    for (const auto& [title, key] : rows) {
        Fixture f;
        f.open(tab);
        auto* s = control<SettingsSwitch>(f, title);
        ASSERT_NE(s, nullptr) << tab << ": " << title;
        const bool was = s->isChecked();
        QTest::mouseClick(s, Qt::LeftButton);
        EXPECT_EQ(f.d.boolean(key), std::optional<bool>(!was)) << title << " → " << key;
        EXPECT_EQ(s->isChecked(), !was) << title;
        EXPECT_EQ(f.writes, 1) << title << ": one write, no other key";
    }
}

// Segments 0, 1, 2 clicked in turn: each stores its own value and is the one lit.
void clickSegments(Fixture& f, Segmented* s, const std::string& key,
                   const std::vector<double>& values) {
    ASSERT_NE(s, nullptr) << key;
    // From the last one back, so every click changes the value.
    for (int i = static_cast<int>(values.size()) - 1; i >= 0; --i) {
        QTest::mouseClick(s->segment(i), Qt::LeftButton);
        EXPECT_EQ(f.d.number(key), std::optional<double>(values[static_cast<std::size_t>(i)]))
            << key << " segment " << i;
        EXPECT_EQ(s->selected(), i) << key;
    }
}

TEST(SettingsClicks, GeneralPage) {
    clickSwitches("general", {{"Floating panel", "p.panel"},
                              {"Sounds", "p.sounds"},
                              {"Spoken instructions", "p.voice"}});
}

TEST(SettingsClicks, SwitchingPage) {
    clickSwitches("switching", {{"Use every computer's keyboard and mouse", "p.allInputs"},
                                {"Mouse jumps to the monitor", "p.jump"},
                                {"Mouse-to-edge backup", "p.edge"}});
    Fixture f;
    f.open("switching");
    clickSegments(f, control<Segmented>(f, "How quickly it switches"), "p.speed", {0, 1, 2});
    auto* slider = control<QSlider>(f, "Mouse speed on your PCs");
    ASSERT_NE(slider, nullptr);
    const int was = slider->value();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(f.d.number("p.pcPointer"), std::optional<double>((was + 1) / 10.0));
    EXPECT_EQ(slider->value(), was + 1);
}

TEST(SettingsClicks, HeadAndEyesPage) {
    Fixture f;
    f.open("tracking");
    auto segmented = f.all<Segmented>();
    ASSERT_EQ(segmented.size(), 1u);
    clickSegments(f, segmented[0], "p.eyeMix", {0, 0.5, 1});
    auto sliders = f.all<QSlider>();
    ASSERT_EQ(sliders.size(), 1u);
    QTest::keyClick(sliders[0], Qt::Key_Right); // one step from "Head only"
    EXPECT_EQ(f.d.number("p.eyeMix"), std::optional<double>(0.05));
    EXPECT_EQ(sliders[0]->value(), 1);
    EXPECT_EQ(segmented[0]->selected(), -1) << "a mix between the segments lights none";
}

TEST(SettingsClicks, MouseJumpPage) {
    Fixture f;
    if (std::optional<Jumps::File> file = Jumps::load()) {
        f.model.jumps = file->recipes;
    }
    ASSERT_GE(f.model.jumps.size(), 3u);
    auto* page = dynamic_cast<JumpPage*>(f.open("jump"));
    ASSERT_NE(page, nullptr);
    // The gallery: each tile picks its own recipe and is the one outlined.
    for (std::size_t i : {std::size_t{2}, std::size_t{0}, f.model.jumps.size() - 1}) {
        QTest::mouseClick(page->gallery()->tiles()[i], Qt::LeftButton);
        EXPECT_EQ(f.d.string("p.jump.id"), f.model.jumps[i].id) << "tile " << i;
        const auto& tiles = page->gallery()->tiles(); // made again only for a new colour
        for (std::size_t k = 0; k < tiles.size(); ++k) {
            EXPECT_EQ(tiles[k]->chosen(), k == i) << "tile " << k << " after " << i;
        }
    }
    // The colours: each swatch stores its own and is the one ringed.
    for (const Jumps::Swatch& want : {Jumps::colors[3], Jumps::colors[1]}) {
        QAbstractButton* swatch = nullptr;
        for (QAbstractButton* b : f.all<QAbstractButton>()) {
            swatch = b->toolTip() == want.name ? b : swatch;
        }
        ASSERT_NE(swatch, nullptr) << want.name;
        QTest::mouseClick(swatch, Qt::LeftButton);
        EXPECT_EQ(f.d.string("p.jump.color"), std::string(want.hex)) << want.name;
        for (QAbstractButton* b : f.all<QAbstractButton>()) {
            if (!b->toolTip().isEmpty()) {
                EXPECT_EQ(b->accessibleName().endsWith(", chosen"), b == swatch)
                    << b->toolTip().toStdString() << " after " << want.name;
            }
        }
    }
    QPushButton* off = nullptr;
    for (QPushButton* b : f.all<QPushButton>()) {
        off = b->text() == "Off" ? b : off;
    }
    ASSERT_NE(off, nullptr);
    QTest::mouseClick(off, Qt::LeftButton);
    EXPECT_EQ(f.d.string("p.jump.id"), std::string("off"));
    EXPECT_FALSE(off->isEnabled());
    for (JumpTile* t : page->gallery()->tiles()) {
        EXPECT_FALSE(t->chosen());
    }
}

TEST(SettingsClicks, ClipboardPage) {
    clickSwitches("clipboard",
                  {{"Text", "p.clipText"}, {"Pictures", "p.clipPics"}, {"Files", "p.clipFiles"}});
}

TEST(SettingsClicks, ComputersPage) {
    clickSwitches("computers", {{"Only connect over Tailscale", "p.tsOnly"}});
}

} // namespace
} // namespace helm
