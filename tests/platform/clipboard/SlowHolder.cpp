#include "SlowHolder.h"

#include <xcb/xcb.h>

#include <poll.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace helm::test {

namespace {

using Clock = std::chrono::steady_clock;

xcb_atom_t atom(xcb_connection_t* c, const std::string& name) {
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> r(
        xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.data()),
            nullptr),
        &std::free);
    return r ? r->atom : XCB_NONE;
}

void notify(xcb_connection_t* c, const xcb_selection_request_event_t& r, xcb_atom_t property) {
    xcb_selection_notify_event_t n{};
    n.response_type = XCB_SELECTION_NOTIFY;
    n.time = r.time;
    n.requestor = r.requestor;
    n.selection = r.selection;
    n.target = r.target;
    n.property = property;
    xcb_send_event(c, 0, r.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&n));
}

} // namespace

int holdSlowly(std::chrono::milliseconds each) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0)
        return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t clipboard = atom(c, "CLIPBOARD"), targets = atom(c, "TARGETS"),
                     utf8 = atom(c, "UTF8_STRING"), incr = atom(c, "INCR");
    xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
    xcb_flush(c);
    std::printf("ready\n");
    std::fflush(stdout);

    // The one transfer under way: where its pieces go, and when the next one is due.
    xcb_window_t to = XCB_NONE;
    xcb_atom_t into = XCB_NONE;
    constexpr Clock::time_point never = Clock::time_point::max();
    Clock::time_point due = never;
    for (;;) {
        const int wait =
            due == never
                ? -1
                : static_cast<int>(std::max<long long>(
                      0, std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now())
                             .count()));
        pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
        ::poll(&p, 1, wait);
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            const int kind = e->response_type & 0x7f;
            if (kind == XCB_SELECTION_REQUEST) {
                const auto& r = *reinterpret_cast<xcb_selection_request_event_t*>(e);
                if (r.target == targets) {
                    const xcb_atom_t offered[] = {targets, utf8};
                    xcb_change_property(c, XCB_PROP_MODE_REPLACE, r.requestor, r.property,
                                        XCB_ATOM_ATOM, 32, 2, offered);
                    notify(c, r, r.property);
                } else if (r.target == utf8) {
                    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                    xcb_change_window_attributes(c, r.requestor, XCB_CW_EVENT_MASK, &mask);
                    const std::uint32_t size = 1000;
                    xcb_change_property(c, XCB_PROP_MODE_REPLACE, r.requestor, r.property, incr, 32,
                                        1, &size);
                    notify(c, r, r.property);
                    to = r.requestor;
                    into = r.property;
                    due = never;
                } else {
                    notify(c, r, XCB_NONE);
                }
            } else if (kind == XCB_PROPERTY_NOTIFY) {
                const auto& n = *reinterpret_cast<xcb_property_notify_event_t*>(e);
                // The requestor took the last piece: the next one comes after a while.
                if (n.window == to && n.atom == into && n.state == XCB_PROPERTY_DELETE)
                    due = Clock::now() + each;
            }
            std::free(e);
        }
        if (due != never && Clock::now() >= due) {
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, to, into, utf8, 8, 1, "x");
            due = never;
        }
        xcb_flush(c);
        if (xcb_connection_has_error(c) != 0)
            return 1;
    }
}

} // namespace helm::test
