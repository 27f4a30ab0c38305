#include "AppFixture.h"

#include <gtest/gtest.h>

using namespace helm;

namespace {

struct AppJumpTest : ::testing::Test, test::AppFixture {};

} // namespace

// The recipe file is built into the program's own library, so the application finds it.
TEST_F(AppJumpTest, TheRecipeInForceFollowsThePreferenceAtEveryRead) {
    auto app = make({"--no-camera", "--test-port"});
    ASSERT_TRUE(app->jumps);
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"glide", "glide"}, {"whirl", "whirl"}, {"no-such", "glide"}, {"off", std::nullopt}};
    for (const auto& [pref, id] : cases) {
        app->prefs.setJumpId(pref);
        std::optional<JumpRecipe> r = app->jump();
        EXPECT_EQ(id, r ? std::optional(r->id) : std::nullopt) << pref;
    }
    EXPECT_TRUE(logged().empty());
}
