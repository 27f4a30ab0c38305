#include "overlays/Jumps.h"
#include "overlays/JumpMotion.h"
#include "overlays/draw/JumpsLoad.h"

#include <gtest/gtest.h>

#include <set>

using namespace helm;

namespace {

const char* const good = R"({"default": "a", "recipes": [
    {"id": "a", "name": "A", "dur": 1, "layers": [{"type": "ring", "color": null, "n": 3.5}],
     "pointer": null, "motion": {"path": "glide", "dist": 100}, "extra": [1, 2]},
    {"id": "b", "name": "B", "dur": 0.5, "layers": [], "pointer": {}}]})";

std::string replaced(std::string s, const std::string& from, const std::string& to) {
    s.replace(s.find(from), from.size(), to);
    return s;
}

} // namespace

TEST(Jumps, DecodeIsStrictAboutTypesAndLenientAboutAbsence) {
    std::optional<Jumps::File> f = Jumps::decode(good);
    ASSERT_TRUE(f);
    EXPECT_EQ("a", f->defaultId);
    ASSERT_EQ(2u, f->recipes.size());
    const JumpRecipe& a = f->recipes[0];
    EXPECT_FALSE(a.pointer);               // null is absent: no ghost
    EXPECT_TRUE(f->recipes[1].pointer);    // {} draws one
    EXPECT_FALSE(a.layers[0].color);       // null colour is absent
    EXPECT_EQ(3.5, a.layers[0].n.value()); // counts stay numbers
    EXPECT_EQ(1.0, a.dur);                 // an integer is a number
    EXPECT_EQ(100.0, a.motion->dist.value());
    EXPECT_EQ("#FF9F0A", a.colored("#FF9F0A").layers[0].color.value());

    const std::pair<std::string, std::string> broken[] = {
        {R"({"type": "ring", "color": null, "n": 3.5})", R"({"color": "#FFFFFF"})"},
        {R"("dur": 0.5)", R"("dur": "0.5")"},
        {R"("color": null)", R"("bell": 1)"},
        {R"("color": null)", R"("colors": ["accent", 3])"},
        {R"("path": "glide", )", ""},
        {R"("dist": 100)", R"("dist": 1e400)"},
        {R"("layers": [])", R"("layers": {})"},
        {R"("layers": [])", R"("layers": [{"color": "#FFFFFF"}])"}, // no type, second recipe
        {R"("default": "a", )", ""},
        {R"("pointer": {})", R"("pointer": {"shadow": "yes"})"},
    };
    for (const auto& [from, to] : broken) {
        // One wrong value anywhere, in any recipe, loses the whole file.
        std::string why;
        EXPECT_FALSE(Jumps::decode(replaced(good, from, to), &why)) << to;
        EXPECT_FALSE(why.empty()) << to;
    }
    EXPECT_FALSE(Jumps::decode("{\"default\": \"a\", \"recipes\": [] "));
}

TEST(Jumps, EncodeLeavesOutWhatIsAbsentAndReadsBackEqual) {
    JumpRecipe r;
    r.id = "x";
    r.name = "X";
    r.dur = 0.5;
    JumpRecipe::Layer l;
    l.type = "glow";
    l.spring = true;
    r.layers = {l};
    json::Json j = r.toJson();
    EXPECT_FALSE(j.contains("pointer"));
    EXPECT_FALSE(j.contains("motion"));
    EXPECT_EQ(R"({"type":"glow","spring":true})", j["layers"][0].dump());
    EXPECT_EQ(r, JumpRecipe::fromJson(j));

    r.dur = std::nan("");
    EXPECT_THROW(r.toJson(), json::EncodeError);
}

TEST(Jumps, ColoursParseLikeAnUnsigned32BitNumber) {
    const Jumps::Rgb green{0x30, 0xD1, 0x58};
    const Jumps::Rgb orange{0xFF, 0x9F, 0x0A};
    const std::pair<std::optional<std::string>, Jumps::Rgb> cases[] = {
        {"#30D158", green},
        {"30d158", green},
        {"+30D158", green},
        {"-0", {0, 0, 0}},
        {"-1", green},
        {"#", green},
        {"", green},
        {"##30D158", green},
        {" 30D158", green},
        {"0x30D158", green},
        {"#12345G", green},
        {"FF30D158", green},
        {"#5A9DFF", {0x5A, 0x9D, 0xFF}},
        {"123456789", green},
        {"0FFFFFFFF", {255, 255, 255}},
        {"accent", orange},
        {std::nullopt, orange},
        {"#ABCDEF12", {0xCD, 0xEF, 0x12} /* top byte dropped */},
    };
    for (const auto& [text, rgb] : cases) {
        EXPECT_EQ(rgb, Jumps::parseColor(text, "#FF9F0A")) << text.value_or("(absent)");
    }
}

TEST(Jumps, ColoringReplacesOnlyTheAccent) {
    JumpRecipe r;
    JumpRecipe::Layer white, list, accent;
    white.color = "#FFFFFF";
    list.colors = std::vector<std::string>{"accent", "#2A7FFF"};
    accent.color = "accent";
    r.layers = {white, list, accent};
    const JumpRecipe before = r;
    JumpRecipe c = r.colored("#B884FF");
    EXPECT_EQ(before, r);
    EXPECT_EQ("#FFFFFF", c.layers[0].color.value());
    EXPECT_EQ((std::vector<std::string>{"#B884FF", "#2A7FFF"}), c.layers[1].colors.value());
    EXPECT_EQ("#B884FF", c.layers[1].color.value());
    EXPECT_EQ("#B884FF", c.layers[2].color.value());
}

TEST(Jumps, ChoosingTheRecipeInForce) {
    Jumps::File f = *Jumps::decode(R"({"default": "b", "recipes": [
        {"id": "off", "name": "1", "dur": 1, "layers": []},
        {"id": "a", "name": "2", "dur": 1, "layers": []},
        {"id": "b", "name": "3", "dur": 1, "layers": []},
        {"id": "a", "name": "4", "dur": 1, "layers": []}]})");
    Jumps::File noDefault = f;
    noDefault.defaultId = "gone";
    const struct {
        std::optional<Jumps::File> file;
        std::string pref;
        std::optional<std::string> name;
    } cases[] = {
        {f, "off", std::nullopt},
        {f, "a", "2"},
        {f, "zzz", "3"},
        {noDefault, "zzz", std::nullopt},
        {std::nullopt, "a", std::nullopt},
    };
    for (const auto& c : cases) {
        std::optional<JumpRecipe> r = Jumps::choose(c.file, c.pref);
        EXPECT_EQ(c.name, r ? std::optional(r->name) : std::nullopt) << c.pref;
    }
}

TEST(Jumps, TheBundledFile) {
    std::optional<Jumps::File> f = Jumps::load();
    ASSERT_TRUE(f);
    EXPECT_EQ("glide", f->defaultId);
    ASSERT_FALSE(f->recipes.empty());
    EXPECT_EQ("glide", f->recipes[0].id);
    std::set<std::string> ids, types, paths, shapes, styles;
    for (const JumpRecipe& r : f->recipes) {
        EXPECT_TRUE(ids.insert(r.id).second) << r.id;
        EXPECT_NE("off", r.id);
        EXPECT_GE(r.dur, 0.35) << r.id;
        EXPECT_LE(r.dur, 1.2) << r.id;
        EXPECT_EQ(r, JumpRecipe::fromJson(json::parse(json::dump(r.toJson()))));
        if (r.motion) {
            paths.insert(r.motion->path);
        }
        int wholeArea = 0;
        for (const JumpRecipe::Layer& l : r.layers) {
            types.insert(l.type);
            shapes.insert(l.shape.value_or(""));
            styles.insert(l.style.value_or(""));
            wholeArea += l.type == "dim" || l.type == "scan" || l.type == "beam" ||
                         (l.type == "cross" && !l.len);
            std::vector<std::string> colours = l.colors.value_or(std::vector<std::string>{});
            colours.push_back(l.color.value_or("accent"));
            for (const std::string& c : colours) {
                // A typo would silently draw green instead.
                bool hex = c.size() == 7 && c[0] == '#' &&
                           c.find_first_not_of("0123456789ABCDEFabcdef", 1) == std::string::npos;
                EXPECT_TRUE(hex || c == "accent") << r.id << " " << c;
            }
        }
        EXPECT_LE(wholeArea, 1) << r.id;
    }
    EXPECT_EQ(15u, types.size());
    EXPECT_EQ(7u, paths.size());
    for (const char* s : {"dot", "spark", "diamond", "square", "line", "streak", "dots", "rings"}) {
        EXPECT_TRUE(shapes.count(s) + styles.count(s)) << s;
    }
    EXPECT_FALSE(Jumps::load("/nonexistent/jumps.json"));
}
