#include "windows/DeskView.h"

#include "DeskSample.h"
#include "ui/Palette.h"
#include "windows/DeskLegend.h"
#include "windows/LineLabel.h"
#include "windows/MapFrame.h"
#include "windows/ScreenRow.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

namespace helm {
namespace {

std::vector<std::string> rowIds(const DeskLegend& legend) {
    std::vector<std::string> out;
    for (ScreenRow* r : legend.rows()) {
        out.push_back(r->id());
    }
    return out;
}

TEST(DeskView, TheLegendsEdgeCases) {
    test::needApplication();
    struct Case {
        const char* name;
        std::function<void(DeskModel&)> set;
        std::function<void(DeskModel&, DeskView&, std::vector<Layout>&)> check;
        bool showPairing = true;
    };
    const Case cases[] = {
        {"empty layout", [](DeskModel& m) { m = DeskModel(Layout()); },
         [](DeskModel&, DeskView& v, auto&) {
             EXPECT_TRUE(v.legend()->rows().empty());
             EXPECT_TRUE(v.legend()->nameRow()->isHidden());
         }},
        {"no PC connected", [](DeskModel&) {},
         [](DeskModel&, DeskView& v, auto&) {
             EXPECT_EQ(v.legend()->connection()->text(), "No PC connected");
             EXPECT_EQ(v.legend()->connection()->symbol(), "exclamationmark.triangle.fill");
             EXPECT_EQ(v.legend()->connection()->color(), gWarn);
         }},
        {"a number twice, a repeated id",
         [](DeskModel& m) {
             m.layout.screens[1].number = 1;
             m.layout.screens[2].id = "mac/a";
             m.layout.screens[2].number = 0;
         },
         [](DeskModel&, DeskView& v, auto&) {
             EXPECT_EQ(rowIds(*v.legend()), (std::vector<std::string>{"mac/a", "mac/a", "mac/b"}));
         }},
        {"offline PC screen", [](DeskModel&) {},
         [](DeskModel&, DeskView& v, auto&) {
             ScreenRow* pc = v.legend()->rows()[2];
             EXPECT_EQ(pc->nameLabel()->text(), "Display 3 · offline");
             EXPECT_FALSE(pc->relearnButton()->isEnabled());
             EXPECT_EQ(v.legend()->rows()[0]->nameLabel()->text(), "Display 1");
             EXPECT_TRUE(v.legend()->rows()[0]->relearnButton()->isEnabled());
         }},
        {"names take the room of the row",
         [](DeskModel& m) {
             m.layout.screens[0].computerName = "MacBook Air";
             m.layout.screens[0].name = "Built-in Retina Display";
             m.layout.screens[2].name = "DELL U2723QE"; // and " · offline"
         },
         [](DeskModel&, DeskView& v, auto&) {
             v.show();
             QCoreApplication::processEvents();
             for (ScreenRow* r : v.legend()->rows()) {
                 for (LineLabel* l : {r->computerLabel(), r->nameLabel(), r->stateLabel()}) {
                     EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
                 }
             }
         }},
        {"renaming this computer against a PC", [](DeskModel& m) { m.agents = {"tower"}; },
         [](DeskModel& m, DeskView& v, std::vector<Layout>& changes) {
             QTest::keyClicks(v.legend()->nameField(), "!?");
             ASSERT_EQ(changes.size(), 2u); // one per keystroke
             EXPECT_EQ(changes.back(), m.layout);
             EXPECT_EQ(m.layout.screens[1].computerName, "This computer!?");
             EXPECT_EQ(m.layout.screens[2].computerName, "Tower");
             EXPECT_EQ(v.legend()->rows()[1]->computerLabel()->text(), "This computer!?");
             m.selected = "pc/x";
             m.changed();
             QTest::keyClick(v.legend()->nameField(), Qt::Key_Backspace);
             EXPECT_EQ(m.layout.screens[2].computerName, "Towe");
             EXPECT_EQ(m.layout.screens[0].computerName, "This computer!?");
         }},
        {"a connected PC without screens",
         [](DeskModel& m) {
             m.agents = {"tower", "lap-9"};
         },
         [](DeskModel&, DeskView& v, auto&) {
             EXPECT_EQ(v.legend()->connection()->text(), "Connected: Tower, LAP 9");
             EXPECT_EQ(v.legend()->connection()->color(), gLive);
         }},
        {"without pairing",
         [](DeskModel& m) {
             for (int i = 4; i <= 12; ++i) {
                 m.layout.screens.push_back(
                     test::sampleScreen("mac/" + std::to_string(i), i, std::nullopt, 0, 0));
             }
         },
         [](DeskModel&, DeskView& v, auto&) {
             EXPECT_EQ(v.sizeHint(), QSize(920, 500));
             EXPECT_EQ(v.legend()->pairing(), nullptr);
             EXPECT_EQ(v.legend()->list()->height(), 300);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeskModel model(test::sampleLayout());
        c.set(model);
        std::vector<Layout> changes;
        model.onChange = [&](const Layout& l) { changes.push_back(l); };
        Defaults d;
        DeskView view(model, d, c.showPairing);
        view.resize(view.sizeHint());
        c.check(model, view, changes);
    }
}

// The picture's frame keeps its outline and round corners over whatever it holds.
TEST(DeskView, TheMapFrameIsDrawnOverThePicture) {
    test::needApplication();
    MapFrame frame(gGround);
    auto* picture = new QWidget;
    picture->setAutoFillBackground(true);
    QPalette white = picture->palette();
    white.setColor(QPalette::Window, Qt::white);
    picture->setPalette(white);
    frame.content()->addWidget(picture);
    frame.resize(300, 200);
    frame.show();
    QCoreApplication::processEvents();
    const QImage img = frame.grab().toImage();
    EXPECT_EQ(img.pixel(150, 100), QColor(Qt::white).rgb());
    for (QPoint edge : {QPoint(0, 100), QPoint(299, 100), QPoint(150, 199)}) {
        EXPECT_EQ(img.pixel(edge), gLine.rgb()) << edge.x() << "," << edge.y();
    }
    EXPECT_EQ(img.pixel(1, 198), gGround.rgb()) << "a round corner";
}

TEST(DeskView, RowsSelectAndCalibrateAgainDoesNot) {
    test::needApplication();
    DeskModel model(test::sampleLayout());
    model.agents = {"tower"};
    std::vector<std::string> relearned;
    model.onRelearn = [&](const std::string& id) { relearned.push_back(id); };
    Defaults d;
    DeskView view(model, d);
    view.resize(view.sizeHint());
    view.show();
    const std::vector<ScreenRow*>& rows = view.legend()->rows();
    QTest::mouseClick(rows[2]->relearnButton(), Qt::LeftButton);
    EXPECT_EQ(relearned, std::vector<std::string>{"pc/x"});
    EXPECT_EQ(model.selected, "mac/a");
    QTest::mouseClick(rows[1], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(model.selected, "mac/b");
    EXPECT_TRUE(rows[1]->selected());
    EXPECT_FALSE(rows[0]->selected());
    EXPECT_EQ(view.legend()->nameField()->text(), "This computer");
    EXPECT_EQ(view.legend()->list()->height(),
              view.legend()->list()->widget()->sizeHint().height());
}

} // namespace
} // namespace helm
