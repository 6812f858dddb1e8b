// The settling decisions of the watched folder.
#include "watch_settle.h"

#include <algorithm>
#include <set>

namespace folvek {

void SettleTracker::observe(const std::vector<SeenFile>& listing, std::int64_t nowMs) {
    std::set<std::string> present;
    for (const SeenFile& f : listing) {
        present.insert(f.name);
        const auto out = handedOut_.find(f.name);
        if (out != handedOut_.end()) {
            if (out->second.state == f.state) continue;
            handedOut_.erase(out);  // written again after it was handed out: a new job
        }
        const auto it = pending_.find(f.name);
        if (it == pending_.end()) {
            pending_.emplace(f.name, Pending{f.state, nowMs, nowMs});
        } else if (!(it->second.state == f.state)) {
            // The longest wait counts from the first byte, not from an empty file's creation.
            if (it->second.state.size == 0) it->second.firstSeen = nowMs;
            it->second.state = f.state;
            it->second.lastChange = nowMs;
        }
    }
    std::erase_if(pending_, [&](const auto& p) { return !present.count(p.first); });
    std::erase_if(handedOut_, [&](const auto& p) { return !present.count(p.first); });
}

std::vector<ReadyFile> SettleTracker::takeReady(std::int64_t nowMs) {
    std::vector<ReadyFile> ready;
    for (auto it = pending_.begin(); it != pending_.end();) {
        const Pending& p = it->second;
        // An empty file is a job that has not started: the program opened it and writes later.
        const bool quiet = p.state.size > 0 && nowMs - p.lastChange >= settleMs_;
        const bool overdue = p.state.size > 0 && nowMs - p.firstSeen >= maxWaitMs_;
        if ((quiet || overdue) && nowMs >= p.notBefore) {
            ready.push_back({it->first, p.state, !quiet, overdue});
            handedOut_[it->first] = p;
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
    return ready;
}

void SettleTracker::holdBack(const ReadyFile& file, std::int64_t nowMs, std::int64_t retryMs) {
    const auto out = handedOut_.find(file.name);
    Pending p = out != handedOut_.end() ? out->second : Pending{file.state, nowMs, nowMs};
    if (out != handedOut_.end()) handedOut_.erase(out);
    p.notBefore = nowMs + retryMs;
    pending_[file.name] = p;
}

std::int64_t SettleTracker::msUntilNext(std::int64_t nowMs) const {
    std::int64_t next = -1;
    for (const auto& [name, p] : pending_) {
        if (p.state.size == 0) continue;
        const std::int64_t due =
            std::max(std::min(p.lastChange + settleMs_, p.firstSeen + maxWaitMs_), p.notBefore) -
            nowMs;
        const std::int64_t wait = std::max<std::int64_t>(due, 0);
        if (next < 0 || wait < next) next = wait;
    }
    return next;
}

}  // namespace folvek
