#include "AppFixture.h"

#include "windows/DeskLegend.h"
#include "windows/DeskView.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace helm {
namespace {

TEST(AppDesk, OneKeptWindowOfFixedSizeWithCloseAndMinimiseOnly) {
    test::AppFixture f;
    auto app = f.make({"--test-port", "0", "--no-camera"});
    EXPECT_EQ(app->deskWindow(), nullptr);
    Layout l;
    l.screens.resize(1);
    l.screens[0].id = "mac/a";
    l.screens[0].computerName = "Mac";
    app->desk().layout = l;
    app->desk().selected = "mac/a";
    app->openDesk();
    QWidget* w = app->deskWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->size(), QSize(920, 600));
    EXPECT_EQ(w->minimumSize(), w->maximumSize());
    EXPECT_EQ(w->windowTitle(), "Helmvantor: screens");
    const Qt::WindowFlags flags = w->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);

    // A rename survives closing and opening again: the window is the same one.
    QLineEdit* field = w->findChild<DeskView*>()->legend()->nameField();
    QTest::keyClicks(field, "book");
    w->close();
    EXPECT_FALSE(w->isVisible());
    app->openDesk();
    EXPECT_EQ(app->deskWindow(), w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(field->text(), "Macbook");
    EXPECT_EQ(app->desk().layout.screens[0].computerName, "Macbook");
}

} // namespace
} // namespace helm
