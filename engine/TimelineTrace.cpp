#include "engine/TimelineTrace.h"

namespace quorvel {

const StatementRecord* TimelineTrace::creatorOf(std::int32_t layer, std::int32_t slot) const {
    const StatementRecord* found = nullptr;
    for (const StatementRecord& s : statements) {
        if (s.layer == layer && s.slot == slot && s.createToken >= 0) found = &s;
    }
    return found;
}

const StatementRecord* TimelineTrace::committerOf(std::int32_t layer, std::int32_t slot) const {
    for (const StatementRecord& s : statements) {
        if (s.layer == layer && s.slot == slot && s.deleteToken >= 0) return &s;
    }
    return nullptr;
}

std::int32_t TimelineTrace::eventToken(std::int32_t layer, std::int32_t slot) const {
    if (const StatementRecord* creator = creatorOf(layer, slot)) return creator->createToken + 1;
    const StatementRecord* committer = committerOf(layer, slot);
    return committer ? committer->deleteToken : -1;
}

}  // namespace quorvel
