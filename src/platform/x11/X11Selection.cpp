#include "platform/x11/X11Selection.h"

#include <xcb/xcb.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace helm {

namespace {

using Clock = std::chrono::steady_clock;

struct Free {
    void operator()(void* p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, Free>;

// Asked for in pieces of 4 MB, so that the server never builds one huge reply.
constexpr std::uint32_t pieceWords = 1 << 20;
// More formats than any program offers; a list longer than this is cut.
constexpr std::size_t maxTargets = 1024;

// The next event that `match` accepts, waiting until the deadline; nothing then (late is
// set), when wake becomes readable, or when the connection broke. Events that do not match
// are dropped.
template <class Match>
Reply<xcb_generic_event_t> next(xcb_connection_t* c, int wake, Clock::time_point deadline,
                                bool& late, Match match) {
    xcb_flush(c);
    for (;;) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            Reply<xcb_generic_event_t> event(e);
            if (match(event.get()))
                return event;
        }
        if (xcb_connection_has_error(c))
            return nullptr;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            late = true;
            return nullptr;
        }
        pollfd p[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {wake, POLLIN, 0}};
        ::poll(p, 2, static_cast<int>(left.count()) + 1);
        if (p[1].revents != 0)
            return nullptr;
    }
}

int kind(const xcb_generic_event_t* e) {
    return e->response_type & 0x7f;
}

} // namespace

X11Selection::X11Selection(std::uint64_t most, std::chrono::milliseconds patience,
                           std::chrono::milliseconds total)
    : most_(most), patience_(patience), total_(total),
      wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

X11Selection::~X11Selection() {
    if (connection_ != nullptr)
        xcb_disconnect(connection_);
    if (wake_ >= 0)
        ::close(wake_);
}

void X11Selection::stop() {
    stopped_ = true;
    const std::uint64_t one = 1;
    if (wake_ >= 0 && ::write(wake_, &one, sizeof one) < 0) {
        // the counter is full, so the waiting side is awake already
    }
}

Clock::time_point X11Selection::stepDeadline() const {
    return std::min(Clock::now() + patience_, *deadline_);
}

bool X11Selection::open() {
    if (!deadline_)
        deadline_ = Clock::now() + total_;
    if (late())
        return false;
    if (connection_ != nullptr)
        return window_ != 0 && xcb_connection_has_error(connection_) == 0;
    int number = 0;
    connection_ = xcb_connect(nullptr, &number);
    if (xcb_connection_has_error(connection_) != 0)
        return false;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < number && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0)
        return false;
    root_ = screens.data->root;
    clipboard_ = atom("CLIPBOARD");
    property_ = atom("HELMVANTOR_CLIPBOARD");
    incr_ = atom("INCR");
    if (clipboard_ == XCB_NONE || property_ == XCB_NONE || incr_ == XCB_NONE)
        return false;
    renew();
    return true;
}

std::uint32_t X11Selection::atom(const std::string& name) {
    Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.data()),
        nullptr));
    return r ? r->atom : XCB_NONE;
}

void X11Selection::renew() {
    if (window_ != 0)
        xcb_destroy_window(connection_, window_);
    window_ = xcb_generate_id(connection_);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, root_, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
}

std::optional<std::string> X11Selection::readProperty(std::uint64_t most, std::uint32_t* type) {
    std::string out;
    for (std::uint32_t offset = 0;;) {
        Reply<xcb_get_property_reply_t> r(
            xcb_get_property_reply(connection_,
                                   xcb_get_property(connection_, 0, window_, property_,
                                                    XCB_GET_PROPERTY_TYPE_ANY, offset, pieceWords),
                                   nullptr));
        if (!r)
            return std::nullopt;
        *type = r->type;
        const auto length = static_cast<std::size_t>(xcb_get_property_value_length(r.get()));
        if (offset == 0) // one allocation for the whole, not one growth after another
            out.reserve(std::min<std::uint64_t>(most, std::uint64_t(length) + r->bytes_after));
        const std::size_t take = std::min<std::uint64_t>(length, most - out.size());
        out.append(static_cast<const char*>(xcb_get_property_value(r.get())), take);
        if (r->bytes_after == 0 || out.size() >= most)
            break;
        offset += static_cast<std::uint32_t>(length / 4);
    }
    // Deleting it tells a holder sending in pieces that the next one may come.
    xcb_delete_property(connection_, window_, property_);
    return out;
}

std::optional<std::string> X11Selection::convert(std::uint32_t target) {
    xcb_delete_property(connection_, window_, property_);
    xcb_convert_selection(connection_, window_, clipboard_, target, property_, XCB_CURRENT_TIME);
    Reply<xcb_generic_event_t> event =
        next(connection_, wake_, stepDeadline(), late_, [this](xcb_generic_event_t* e) {
            return kind(e) == XCB_SELECTION_NOTIFY &&
                   reinterpret_cast<xcb_selection_notify_event_t*>(e)->requestor == window_;
        });
    if (!event) {
        renew(); // a late answer goes to a window no longer read
        return std::nullopt;
    }
    if (reinterpret_cast<xcb_selection_notify_event_t*>(event.get())->property != property_)
        return std::nullopt; // refused, or there is no holder
    std::uint32_t type = XCB_NONE;
    std::optional<std::string> value = readProperty(most_, &type);
    if (!value || type != incr_)
        return value;
    // The holder gives the size to expect, or at least a lower bound of it.
    std::uint32_t expect = 0;
    if (value->size() >= 4)
        std::memcpy(&expect, value->data(), 4);
    return readPieces(expect);
}

std::optional<std::string> X11Selection::readPieces(std::uint32_t expect) {
    std::string out;
    out.reserve(std::min<std::uint64_t>(expect, most_));
    for (;;) {
        Reply<xcb_generic_event_t> event =
            next(connection_, wake_, stepDeadline(), late_, [this](xcb_generic_event_t* e) {
                auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
                return kind(e) == XCB_PROPERTY_NOTIFY && p->window == window_ &&
                       p->atom == property_ && p->state == XCB_PROPERTY_NEW_VALUE;
            });
        if (!event) {
            renew();
            return std::nullopt;
        }
        std::uint32_t type = XCB_NONE;
        std::optional<std::string> piece = readProperty(most_ - out.size(), &type);
        if (!piece)
            return std::nullopt;
        if (piece->empty())
            return out; // the last piece
        out += *piece;
        if (out.size() >= most_) {
            renew(); // the holder's further pieces go unread
            return out;
        }
    }
}

std::optional<std::vector<std::string>> X11Selection::targets() {
    if (!open())
        return std::nullopt;
    std::optional<std::string> value = convert(atom("TARGETS"));
    if (!value)
        return std::nullopt;
    std::vector<xcb_atom_t> atoms(std::min(value->size() / 4, maxTargets));
    std::memcpy(atoms.data(), value->data(), atoms.size() * 4);
    std::vector<xcb_get_atom_name_cookie_t> asked;
    for (xcb_atom_t a : atoms)
        asked.push_back(xcb_get_atom_name(connection_, a));
    std::vector<std::string> names;
    for (xcb_get_atom_name_cookie_t cookie : asked) {
        Reply<xcb_get_atom_name_reply_t> r(xcb_get_atom_name_reply(connection_, cookie, nullptr));
        if (r)
            names.emplace_back(xcb_get_atom_name_name(r.get()),
                               static_cast<std::size_t>(xcb_get_atom_name_name_length(r.get())));
    }
    return names;
}

std::optional<std::string> X11Selection::fetch(const std::string& target) {
    if (!open())
        return std::nullopt;
    const std::uint32_t a = atom(target);
    if (a == XCB_NONE)
        return std::nullopt;
    return convert(a);
}

} // namespace helm
