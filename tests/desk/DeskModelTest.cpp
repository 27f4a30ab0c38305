#include "desk/DeskModel.h"

#include <gtest/gtest.h>

namespace helm {
namespace {

Screen screen(const std::string& id, int number) {
    Screen s;
    s.id = id;
    s.number = number;
    s.name = "Screen";
    return s;
}

TEST(DeskModel, SelectsTheFirstScreenOrNothing) {
    EXPECT_FALSE(DeskModel(Layout{}).selected);
    Layout l;
    l.screens = {screen("mac/a", 1), screen("mac/b", 2)};
    EXPECT_EQ(DeskModel(l).selected, "mac/a");
}

TEST(DeskModel, EditsPublishAndReachOnChangeEvenForAnUnknownId) {
    Layout l;
    l.screens = {screen("mac/a", 1), screen("mac/a", 2)};
    DeskModel m(l);
    int notified = 0;
    m.observers.add([&] { ++notified; });
    std::vector<Layout> seen;
    m.editScreen("mac/a", [](Screen& s) { s.name = "Left"; });
    EXPECT_EQ(m.layout.screens[0].name, "Left");
    EXPECT_EQ(m.layout.screens[1].name, "Screen"); // only the first with that id
    m.onChange = [&](const Layout& x) { seen.push_back(x); };
    m.editScreen("pc/x", [](Screen& s) { s.name = "Never"; });
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], m.layout);
    EXPECT_EQ(notified, 2);
}

} // namespace
} // namespace helm
