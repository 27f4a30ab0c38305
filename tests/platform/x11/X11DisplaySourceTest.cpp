#include "platform/x11/X11DisplaySource.h"

// gtest before Xlib: Xlib's macros (None, Bool) break gtest's templates.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <chrono>
#include <thread>

namespace helm {
namespace {

// A base EDID block: vendor 0x10AC, model 0x1234, serial 0x12345678, named "HELM TEST".
std::vector<unsigned char> edid(std::uint32_t serial) {
    std::vector<unsigned char> b(128, 0);
    const unsigned char header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::copy(header, header + 8, b.begin());
    b[8] = 0x10;
    b[9] = 0xAC;
    b[10] = 0x34;
    b[11] = 0x12;
    for (int i = 0; i < 4; ++i) {
        b[12 + i] = (serial >> (8 * i)) & 0xFF;
    }
    b[57] = 0xFC;
    const char name[] = "HELM TEST\n   ";
    std::copy(name, name + 13, b.begin() + 59);
    unsigned sum = 0;
    for (int i = 0; i < 127; ++i) {
        sum += b[i];
    }
    b[127] = (256 - sum % 256) % 256;
    return b;
}

// The test's own client: it plays the monitor's driver and the user's display settings.
struct Desk {
    Display* dpy = XOpenDisplay(nullptr);
    RROutput output = 0;
    Atom edidAtom = XInternAtom(dpy, "EDID", False);
    Atom side = XInternAtom(dpy, "HELM-SIDE", False);

    Desk() {
        XRRScreenResources* res = XRRGetScreenResources(dpy, DefaultRootWindow(dpy));
        if (res != nullptr && res->noutput > 0) {
            output = res->outputs[0];
        }
        XRRFreeScreenResources(res);
    }
    ~Desk() {
        XRRDeleteMonitor(dpy, DefaultRootWindow(dpy), side);
        XRRDeleteOutputProperty(dpy, output, edidAtom);
        XCloseDisplay(dpy);
    }
    void setEdid(const std::vector<unsigned char>& bytes) {
        XRRChangeOutputProperty(dpy, output, edidAtom, XA_INTEGER, 8, PropModeReplace, bytes.data(),
                                int(bytes.size()));
        XSync(dpy, False);
    }
    void addSideMonitor() {
        XRRMonitorInfo m{};
        m.name = side;
        m.x = 1280;
        m.y = 100;
        m.width = 800;
        m.height = 600;
        XRRSetMonitor(dpy, DefaultRootWindow(dpy), &m);
        XSync(dpy, False);
    }
};

TEST(X11DisplaySource, ListsMonitorsPrimaryFirstKeyedByEdidAndHearsChanges) {
    Desk desk;
    ASSERT_NE(nullptr, desk.dpy);
    ASSERT_NE(0u, desk.output) << "the test server has no RandR output";
    desk.setEdid(edid(0x12345678));
    desk.addSideMonitor();

    X11DisplaySource source;
    int notices = 0;
    source.onChange = [&] { ++notices; };
    std::vector<DisplayInfo> list = source.displays();
    ASSERT_EQ(2u, list.size());
    EXPECT_EQ("4268-4660-305419896", list[0].key);
    EXPECT_EQ("HELM TEST", list[0].name);
    EXPECT_TRUE(list[0].primary);
    EXPECT_EQ(0, list[0].x);
    EXPECT_EQ("0-0-0", list[1].key);
    EXPECT_EQ("HELM-SIDE", list[1].name);
    EXPECT_EQ(1, list[1].index);
    EXPECT_EQ(1280, list[1].x);
    EXPECT_EQ(100, list[1].y);

    source.pump(); // whatever the set-up above announced
    notices = 0;
    desk.setEdid(edid(7));
    for (int i = 0; i < 100 && notices == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        source.pump();
    }
    EXPECT_EQ(1, notices);
    EXPECT_EQ("4268-4660-7", source.displays()[0].key);
}

} // namespace
} // namespace helm
