#include "platform/x11/X11Monitors.h"

#include "platform/Edid.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <memory>

namespace helm {

namespace {

struct Monitor {
    DisplayInfo info;
    bool marked = false; // marked primary by the server
};

std::vector<std::uint8_t> edidOf(Display* dpy, RROutput output) {
    Atom edid = XInternAtom(dpy, RR_PROPERTY_RANDR_EDID, True);
    if (edid == None) {
        return {};
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    // 256 longs: a base block and its extensions fit.
    if (XRRGetOutputProperty(dpy, output, edid, 0, 256, False, False, AnyPropertyType, &type,
                             &format, &count, &after, &data) != Success) {
        return {};
    }
    std::vector<std::uint8_t> out;
    if (data != nullptr && format == 8) {
        out.assign(data, data + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return out;
}

std::string atomName(Display* dpy, Atom atom) {
    if (atom == None) {
        return {};
    }
    char* text = XGetAtomName(dpy, atom);
    std::string out = text != nullptr ? text : "";
    if (text != nullptr) {
        XFree(text);
    }
    return out;
}

// The monitors in list order, frames still in root coordinates; keys, names and sizes only
// when identify is set, as they cost a round trip per monitor.
std::vector<Monitor> monitors(Display* dpy, bool identify) {
    std::vector<Monitor> out;
    if (dpy == nullptr) {
        return out;
    }
    Window root = DefaultRootWindow(dpy);
    int count = 0;
    XRRMonitorInfo* list = XRRGetMonitors(dpy, root, True, &count);
    if (list == nullptr) {
        return out;
    }
    XRRScreenResources* resources = identify ? XRRGetScreenResourcesCurrent(dpy, root) : nullptr;
    for (int i = 0; i < count; ++i) {
        const XRRMonitorInfo& m = list[i];
        Monitor mon;
        DisplayInfo& d = mon.info;
        d.x = m.x;
        d.y = m.y;
        d.w = m.width;
        d.h = m.height;
        d.mmW = m.mwidth;
        d.mmH = m.mheight;
        d.name = identify ? atomName(dpy, m.name) : std::string();
        d.key = Edid::unknownKey;
        mon.marked = m.primary != 0;
        if (identify && m.noutput > 0 && m.outputs != nullptr) {
            const RROutput first = m.outputs[0];
            if (std::optional<Edid> edid = Edid::read(edidOf(dpy, first))) {
                d.key = edid->key;
                if (edid->name) {
                    d.name = *edid->name;
                }
            }
            if ((d.mmW <= 0 || d.mmH <= 0) && resources != nullptr) {
                if (XRROutputInfo* info = XRRGetOutputInfo(dpy, resources, first)) {
                    d.mmW = double(info->mm_width);
                    d.mmH = double(info->mm_height);
                    XRRFreeOutputInfo(info);
                }
            }
        }
        out.push_back(std::move(mon));
    }
    if (resources != nullptr) {
        XRRFreeScreenResources(resources);
    }
    XRRFreeMonitors(list);
    return out;
}

// Puts the primary first and the rest by x, then y.
void sortPrimaryFirst(std::vector<Monitor>& list) {
    auto primary =
        std::find_if(list.begin(), list.end(), [](const Monitor& m) { return m.marked; });
    if (primary == list.end()) {
        primary = std::find_if(list.begin(), list.end(), [](const Monitor& m) {
            return m.info.x <= 0 && m.info.x + m.info.w > 0 && m.info.y <= 0 &&
                   m.info.y + m.info.h > 0;
        });
    }
    if (primary == list.end() && !list.empty()) {
        primary = list.begin();
    }
    if (primary != list.end()) {
        std::rotate(list.begin(), primary, primary + 1);
        std::stable_sort(list.begin() + 1, list.end(), [](const Monitor& a, const Monitor& b) {
            return a.info.x != b.info.x ? a.info.x < b.info.x : a.info.y < b.info.y;
        });
    }
}

} // namespace

std::vector<DisplayInfo> listMonitors(Display* dpy) {
    std::vector<Monitor> list = monitors(dpy, true);
    sortPrimaryFirst(list);
    std::vector<DisplayInfo> out;
    if (list.empty()) {
        return out;
    }
    const double ox = list.front().info.x;
    const double oy = list.front().info.y;
    for (std::size_t i = 0; i < list.size(); ++i) {
        DisplayInfo d = std::move(list[i].info);
        d.index = int(i);
        d.primary = i == 0;
        d.x -= ox;
        d.y -= oy;
        out.push_back(std::move(d));
    }
    return out;
}

RootOrigin primaryOrigin(Display* dpy) {
    std::vector<Monitor> list = monitors(dpy, false);
    sortPrimaryFirst(list);
    if (list.empty()) {
        return {};
    }
    return {int(list.front().info.x), int(list.front().info.y)};
}

} // namespace helm
