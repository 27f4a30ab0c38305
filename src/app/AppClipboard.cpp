// The clipboard follows keyboard focus: this computer's pasteboard is offered to the PC that
// focus reaches, and a PC that focus leaves is asked for its clipboard, which goes on to this
// computer or to the next PC. Pasteboard metadata is read here on the main thread; reading and
// encoding files and pictures, and storing received files, run on the clipboard's own queue so
// that input keeps flowing during a large clip.
#include "app/App.h"
#include "app/Log.h"
#include "app/NumberText.h"
#include "link/Decimal.h"
#include "link/Hub.h"
#include "link/MacClipboard.h"
#include "link/Wire.h"
#include "platform/OnMain.h"
#include "platform/SerialQueue.h"
#include "platform/sim/MemoryPasteboard.h"

#include <cctype>
#include <ctime>

namespace helm {

namespace {

// Notes a clip of this size or less goes without the "Sending" note.
constexpr std::size_t quietBytes = 2'000'000;

std::string capitalised(std::string s) {
    if (!s.empty())
        s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    return s;
}

// What a look would be told as before its files are read.
std::string lookSummary(const MacClipboard::Look& look) {
    if (!look.isFiles)
        return look.ready.clip ? look.ready.clip->summary() : "clipboard";
    std::vector<ClipFile> names;
    for (const MacClipboard::FileToRead& f : look.files)
        names.push_back({f.name, {}});
    return Clip::files(std::move(names)).summary();
}

// The note for files from a PC: what was stored, and how many were not.
std::string receivedFilesNote(const std::string& summary, std::size_t stored, std::size_t left) {
    if (stored == 0)
        return format("%zu %s from the PC could not be stored.", left,
                      left == 1 ? "file" : "files");
    std::string note = summary + " from the PC. Paste in your file manager.";
    if (left > 0)
        note += format(" %zu more could not be stored.", left);
    return note;
}

} // namespace

Pasteboard& App::pasteboard() {
    if (!platform_.pasteboard)
        platform_.pasteboard = std::make_unique<MemoryPasteboard>();
    return *platform_.pasteboard;
}

SerialQueue& App::clipQueue() {
    if (!clipQueue_)
        clipQueue_ = std::make_unique<SerialQueue>("pivmor.clipboard");
    return *clipQueue_;
}

void App::postData(std::string line, const std::string& pc, std::function<void(bool)> done,
                   LinkBudget::Hold share) {
    if (postDataLine)
        postDataLine(std::move(line), pc, std::move(done));
    else
        hub().postData(std::move(line), pc, std::move(done), std::move(share));
}

bool App::allowed(const Clip& clip) const {
    if (std::holds_alternative<Clip::Text>(clip.value))
        return prefs.clipText();
    if (std::holds_alternative<Clip::Image>(clip.value))
        return prefs.clipPictures();
    return prefs.clipFiles();
}

void App::wireClipboard(Hub& h) {
    h.onClip = [this](const std::string& pc, std::int64_t, std::optional<Clip> clip) {
        clipArrived(pc, std::move(clip));
    };
    // A PC that comes back is offered the clipboard again: what it had may be gone with it.
    h.onLost = [this, before = std::move(h.onLost)](const std::string& pc) {
        sentClip.erase(pc);
        clipOrder.forget(pc);
        notSentTold_.erase(pc);
        if (before)
            before(pc);
    };
}

void App::handOffClipboard(const std::string& from, const std::string& to) {
    const std::optional<Screen> a = screen(from);
    if (a && a->computer && connected.contains(*a->computer)) {
        const std::string pc = *a->computer;
        // Behind a push to that PC still on its way, or it would answer with what it had.
        clipOrder.after(pc, [this, pc, to, asked = pasteboard().changeCount()] {
            post(Wire::release, pc);
            pendingClip[pc] = to;
            pendingCount[pc] = asked;
            postData(Wire::askClip, pc, nullptr);
        });
        return;
    }
    const std::optional<Screen> b = screen(to);
    if (b && b->computer && connected.contains(*b->computer)) {
        pushMacClipboard(*b->computer);
    }
}

std::string App::clipLabel(const std::string& pc) const {
    if (connected.contains(pc)) {
        for (const Screen& s : layout_.screens) {
            if (s.computer == pc)
                return std::to_string(s.number) + " · " + s.computerName;
        }
    }
    return pc;
}

void App::pushMacClipboard(const std::string& pc) {
    Pasteboard& pb = pasteboard();
    const long n = pb.changeCount();
    if (auto it = sentClip.find(pc); it != sentClip.end() && it->second == n)
        return;
    sentClip[pc] = n; // before reading: what cannot go is not read again until it changes
    // The push's place among the lines to pc is taken now, before anything is read: asking
    // another program for its clipboard takes a while, and a release and ask decided in the
    // meantime must not overtake the push, or the PC would answer with what it had before.
    LinkBudget::Hold share;
    const ClipOrder::Ticket ticket = beginClip(pc, share);
    MacClipboard::Look look = MacClipboard::look(pb, prefs.clipPictures());
    if (look.elsewhere) {
        // Another program holds the clipboard, and asking it waits for that program: that is
        // done on the clipboard's queue, so that input never waits for it.
        clipQueue().post([this, alive = std::weak_ptr<int>(alive_), look = std::move(look), pc, n,
                          ticket, share]() mutable {
            if (share->replaced())
                return; // a newer push came meanwhile: that program need not be asked
            auto done =
                std::make_shared<MacClipboard::Look>(MacClipboard::complete(std::move(look)));
            onMain([this, alive, done, pc, n, ticket, share] {
                if (!alive.expired())
                    pushLook(pc, n, ticket, share, std::move(*done));
            });
        });
        return;
    }
    pushLook(pc, n, ticket, share, std::move(look));
}

ClipOrder::Ticket App::beginClip(const std::string& pc, LinkBudget::Hold& share) {
    const ClipOrder::Ticket ticket = clipOrder.begin(pc);
    LinkBudget::NewClip clip = linkBudget->newClip(pc, ticket);
    for (ClipOrder::Ticket old : clip.replaced) {
        // Its line, when it is ready here, is freed on the clipboard's queue: tearing down a
        // long line's memory takes a while.
        if (auto line = clipOrder.withdraw(pc, old))
            clipQueue().post([line = std::move(line)]() mutable { line = nullptr; });
        log("clipboard → " + pc + ": replaced by a newer clip");
    }
    if (!clip.replaced.empty() && !postDataLine)
        hub().dropReplaced(pc);
    share = std::move(clip.share);
    return ticket;
}

void App::pushLook(const std::string& pc, long n, ClipOrder::Ticket ticket, LinkBudget::Hold share,
                   MacClipboard::Look look) {
    if (look.ready.skipped)
        note("Clipboard: " + *look.ready.skipped);
    if (look.late)
        log("clipboard → " + pc + ": not sent, " + *look.ready.skipped);
    if (look.isFiles ? look.files.empty() || !prefs.clipFiles()
                     : !look.ready.clip || !allowed(*look.ready.clip)) {
        clipOrder.end(pc, ticket); // nothing goes: what waits behind it goes on
        return;
    }
    clipQueue().post([this, alive = std::weak_ptr<int>(alive_), look = std::move(look), pc, n,
                      ticket, share = std::make_shared<LinkBudget::Hold>(share)]() mutable {
        // Counted before its files are read: a clip that cannot wait for the PC is not read,
        // nor one that a newer push replaced.
        if (!(*share)->reserve(MacClipboard::lineSize(look))) {
            if ((*share)->replaced())
                return;
            onMain([this, alive, pc, n, ticket, summary = lookSummary(look)] {
                if (alive.expired())
                    return;
                clipOrder.end(pc, ticket);
                if (auto it = sentClip.find(pc); it != sentClip.end() && it->second == n)
                    sentClip.erase(it);
                clipNotSent(pc, summary, true);
            });
            return;
        }
        MacClipboard::Result r = MacClipboard::load(std::move(look));
        if ((*share)->replaced())
            return; // while it was read: it is freed here, off the main thread
        if (!r.clip) {
            // Every file vanished or could not be read.
            onMain([this, alive, pc, ticket] {
                if (!alive.expired())
                    clipOrder.end(pc, ticket);
            });
            return;
        }
        auto line = std::make_shared<std::string>(Wire::setClip(*r.clip));
        if ((*share)->replaced())
            return;
        (*share)->resize(line->size()); // a file may have shrunk since it was looked at
        const std::size_t bytes = r.clip->bytes();
        const bool text = std::holds_alternative<Clip::Text>(r.clip->value);
        std::string summary = r.clip->summary();
        r.clip.reset(); // freed here rather than on the main thread
        onMain([this, alive, line, share, bytes, text, summary, pc, n, ticket] {
            if (alive.expired())
                return;
            clipOrder.ready(pc, ticket, [=, this] {
                const std::string label = clipLabel(pc);
                if (bytes > quietBytes)
                    note("Sending " + summary + " to " + label + "…");
                postData(
                    std::move(*line), pc,
                    [this, alive, text, summary, label, pc, n, ticket](bool written) {
                        if (alive.expired())
                            return;
                        clipOrder.end(pc, ticket);
                        if (!written) {
                            // Not there: offered again at the next hand-over.
                            if (auto it = sentClip.find(pc);
                                it != sentClip.end() && it->second == n)
                                sentClip.erase(it);
                            clipNotSent(pc, summary, false);
                            return;
                        }
                        notSentTold_.erase(pc);
                        if (!text)
                            note(capitalised(summary) + " → " + label + ". Paste there.");
                    },
                    std::move(*share));
                holdNoLonger(pc, ticket);
                log("clipboard → " + pc + ": " + summary);
            });
        });
    });
}

void App::holdNoLonger(const std::string& pc, ClipOrder::Ticket ticket) {
    after(ClipOrder::hold, [this, alive = std::weak_ptr<int>(alive_), pc, ticket] {
        if (!alive.expired())
            clipOrder.giveWay(pc, ticket);
    });
}

void App::clipNotSent(const std::string& pc, const std::string& summary, bool refused) {
    const std::string why =
        refused ? "more than " + megabytes(linkBudget->limit) + " is waiting for it" : "";
    log("clipboard → " + pc + ": not sent" + (refused ? ", " + why : ""));
    if (notSentTold_.insert(pc).second)
        note(capitalised(summary) + " not sent to " + clipLabel(pc) + (refused ? ": " + why : "") +
             ".");
}

void App::clipArrived(const std::string& pc, std::optional<Clip> clip) {
    auto it = pendingClip.find(pc);
    if (it == pendingClip.end())
        return; // nobody asked
    const std::string dest = it->second;
    pendingClip.erase(it);
    long asked = pasteboard().changeCount();
    if (auto c = pendingCount.find(pc); c != pendingCount.end()) {
        asked = c->second;
        pendingCount.erase(c);
    }
    if (!clip || !allowed(*clip))
        return;
    auto shared = std::make_shared<Clip>(std::move(*clip));
    const std::optional<Screen> d = screen(dest);
    if (d && d->computer && connected.contains(*d->computer)) {
        const std::string to = *d->computer;
        LinkBudget::Hold hold;
        const ClipOrder::Ticket ticket = beginClip(to, hold);
        clipQueue().post([this, alive = std::weak_ptr<int>(alive_), shared, pc, dest, to, ticket,
                          share = std::make_shared<LinkBudget::Hold>(std::move(hold))] {
            std::string summary = shared->summary();
            if (!(*share)->reserve(Wire::setClipSize(*shared))) {
                if ((*share)->replaced())
                    return;
                onMain([this, alive, to, ticket, summary] {
                    if (alive.expired())
                        return;
                    clipOrder.end(to, ticket);
                    clipNotSent(to, summary, true);
                });
                return;
            }
            auto line = std::make_shared<std::string>(Wire::setClip(*shared));
            if ((*share)->replaced())
                return; // while it was encoded: it is freed here, off the main thread
            onMain([this, alive, line, share, summary, pc, dest, to, ticket] {
                if (alive.expired())
                    return;
                clipOrder.ready(to, ticket, [=, this] {
                    postData(
                        std::move(*line), to,
                        [this, alive, to, ticket, summary](bool written) {
                            if (alive.expired())
                                return;
                            clipOrder.end(to, ticket);
                            if (written)
                                notSentTold_.erase(to);
                            else
                                clipNotSent(to, summary, false);
                        },
                        std::move(*share));
                    holdNoLonger(to, ticket);
                    log("clipboard " + pc + " → " + dest + ": " + summary);
                });
            });
        });
        return;
    }
    // What the user copied here since asking is newer than the PC's answer.
    auto stale = [this, pc, asked] {
        if (pasteboard().changeCount() == asked)
            return false;
        log("clipboard " + pc + ": reply dropped, the clipboard here changed since");
        return true;
    };
    if (stale())
        return;
    auto land = [this, shared, pc, dest](const std::vector<std::string>& stored,
                                         const std::string& summary) {
        Pasteboard& pb = pasteboard();
        MacClipboard::offer(*shared, stored, pb);
        sentClip.clear();
        sentClip[pc] = pb.changeCount();
        std::string lost;
        if (std::holds_alternative<Clip::Image>(shared->value)) {
            note("Picture from the PC. Paste it.");
        } else if (auto* f = std::get_if<Clip::Files>(&shared->value)) {
            const std::size_t left = f->files.size() - stored.size();
            note(receivedFilesNote(summary, stored.size(), left));
            if (left > 0)
                lost = format(", %zu not stored", left);
        }
        log("clipboard " + pc + " → " + dest + ": " + summary + lost);
    };
    // Files are stored and a long text's characters counted away from the main thread.
    clipQueue().post(
        [alive = std::weak_ptr<int>(alive_), shared, stale, land, dir = MacClipboard::inbox()] {
            auto stored = std::make_shared<std::vector<std::string>>();
            if (auto* files = std::get_if<Clip::Files>(&shared->value))
                *stored = MacClipboard::store(files->files, dir, std::time(nullptr));
            // Files are told as stored: a name may be refused, or its numbered series used up.
            std::string summary = std::holds_alternative<Clip::Files>(shared->value)
                                      ? MacClipboard::storedSummary(*stored)
                                      : shared->summary();
            onMain([alive, stored, summary, stale, land] {
                if (alive.expired() || stale())
                    return;
                land(*stored, summary);
            });
        });
}

} // namespace helm
