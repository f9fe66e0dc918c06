// When the simulated client acts: the messages posted to it, its own timed acts (windows that
// close slowly, what its user does), and the time each call of the program takes.
#include <algorithm>

#include "aol/sim/SimClient.h"

namespace aol::sim {
namespace {

// How many calls of the program a document window takes to go once the client closes it (the
// next window is activated at once; hiding and destroying the window take a while).
constexpr int kGoingCalls = 8;

}  // namespace

double SimClient::postTime() const {
    return now_ ? now_() : 0.0;
}

void SimClient::deliverPosted() {
    if (delivering_ || hung_) return;
    delivering_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{delivering_};
    // Posted messages and acts in the order they fall due; every message is posted with the same
    // delay, so the message queue is in order of due time.
    while (!hung_) {
        const double now = postTime();
        const bool message = !posted_.empty() && posted_.front().due <= now;
        const bool act = !acts_.empty() && acts_.begin()->first <= now;
        if (message && (!act || posted_.front().due <= acts_.begin()->first)) {
            const Posted p = posted_.front();
            posted_.pop_front();
            if (find(p.window)) dispatch(p.window, p.message, p.wParam, p.lParam);
        } else if (act) {
            const std::function<void()> fn = std::move(acts_.begin()->second);
            acts_.erase(acts_.begin());
            fn();
        } else {
            return;
        }
    }
}

void SimClient::setPostDelay(double seconds, std::function<double()> now) {
    postDelay_ = std::max(0.0, seconds);
    setClock(std::move(now));
}

void SimClient::setClock(std::function<double()> now) {
    now_ = std::move(now);
}

std::optional<double> SimClient::nextPostedDue() const {
    std::optional<double> due;
    if (!posted_.empty()) due = posted_.front().due;
    if (!acts_.empty() && (!due || acts_.begin()->first < *due)) due = acts_.begin()->first;
    return due;
}

void SimClient::setPostNotifier(std::function<void()> notifier) {
    postNotifier_ = std::move(notifier);
}

void SimClient::setCallCost(double seconds, std::function<void(double)> advance) {
    callCost_ = std::max(0.0, seconds);
    advance_ = std::move(advance);
}

void SimClient::at(double when, std::function<void()> act) {
    acts_.emplace(when, std::move(act));
    if (postNotifier_) postNotifier_();
}

void SimClient::tick() {
    if (callCost_ <= 0.0) return;
    if (advance_) advance_(callCost_);
    deliverPosted();
}

void SimClient::closeDocument(Hwnd id) {
    if (closeDelay_ <= 0.0) {
        documentGoes(id);
    } else {
        at(postTime() + closeDelay_, [this, id] { documentGoes(id); });
    }
}

void SimClient::documentGoes(Hwnd id) {
    const Window* w = find(id);
    if (!w) return;
    if (Window* parent = find(w->parent);
        parent && parent->children.size() > 1 && parent->children.front() == id) {
        bringToTop(parent->children[1]);  // activated: above the window that is going
    }
    const auto go = [this, id] {
        if (!find(id)) return;
        destroy(id);
        notify();
    };
    if (callCost_ > 0.0) {
        at(postTime() + kGoingCalls * callCost_, go);
    } else {
        go();
    }
}

void SimClient::flicker(Hwnd parent, Hwnd childAfter) {
    if (!topWindowFlickers_ || parent == 0 || parent != mdi()) return;
    if (childAfter == 0) {
        if (flicker_ != 0) destroyQuietly(flicker_);
        flicker_ = create(parent, Kind::Document, "AOL Child", "", true);
    } else if (childAfter == flicker_) {
        destroyQuietly(flicker_);
        flicker_ = 0;
    }
}

}  // namespace aol::sim
