#pragma once

#include <functional>
#include <map>

namespace helm {

// A plain list of change observers for the models the views read. Views subscribe with a
// function and keep the token to unsubscribe when they go away; a writer calls notify() after
// it changed the model. Main thread only.
class Observers {
public:
    using Token = int;

    Token add(std::function<void()> f) {
        Token t = next_++;
        list_.emplace(t, std::move(f));
        return t;
    }
    void remove(Token t) { list_.erase(t); }

    // An observer may add or remove observers while it runs: the list is walked over a copy.
    void notify() const {
        auto copy = list_;
        for (const auto& [token, f] : copy) {
            if (list_.count(token) != 0 && f) {
                f();
            }
        }
    }

private:
    std::map<Token, std::function<void()>> list_;
    Token next_ = 1;
};

} // namespace helm
