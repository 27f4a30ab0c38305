#include "app/render/GuideSamples.h"

#include "overlays/draw/JumpsLoad.h"

namespace helm {

Layout GuideSamples::layout() {
    Layout l;
    l.sync(std::nullopt, "ThinkPad",
           {{"a", "Built-in Display", 0, 0, 0, 1470, 956, 301, 196, true}});
    l.sync("work-pc", "WORK PC",
           {{"A", "DELL U2723QE", 0, 0, 0, 2560, 1440, 597, 336, true},
            {"B", "LG 24MP", 1, 0, -1080, 1920, 1080, 527, 296, false}});
    return l;
}

GuideSamples::GuideSamples(std::function<double()> clock) {
    const Screen& second = desk.layout.screens.at(1);
    desk.agents = {"work-pc"};
    desk.looking = second.id;
    desk.angle = Angle{second.yaw + 3, second.pitch - 2};

    feed.setCameraOn(true);
    feed.setSeen(true);
    feed.setFace(Face{{0.38, 0.36, 0.24, 0.32}, 0.95});

    guide.screens = [this] { return desk.layout.screens; };
    guide.setNetworkIP("192.168.1.20");
    guide.setCode("730146");
    guide.feed = &feed;

    settings.setComputers({{"mac", "ThinkPad", 1, true, true},
                           {"work-pc", "WORK PC", 2, true, false},
                           {"main-pc", "MAIN PC", 1, false, false}});
    settings.setAngle(Angle{-12, 4});
    settings.setBrightness(0.46);
    settings.setHealth("Camera on, sees you");
    settings.setFeed(&feed);
    settings.setSetups({"Home", "Work", "One monitor"});
    settings.setActiveSetup("Home");
    settings.setLiveLook("2 \u00B7 WORK PC");
    settings.setCheckResult("Helmvantor picked the right screen 94% of the time.");
    if (std::optional<Jumps::File> file = Jumps::load()) {
        settings.jumps = file->recipes;
    }
    settings.clock = std::move(clock);
}

} // namespace helm
