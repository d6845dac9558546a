// The pairs of the connection-policy grid.
#include "web/connection_policy.h"

namespace quivera {

namespace {

constexpr PolicyPair kPolicyPairs[] = {
    {"A2A", 0x0001}, {"A2B", 0x0002}, {"A2S", 0x0004}, {"A2M", 0x0008}, {"B2A", 0x0010},
    {"B2B", 0x0020}, {"B2S", 0x0040}, {"B2M", 0x0080}, {"S2A", 0x0100}, {"S2B", 0x0200},
    {"S2S", 0x0400}, {"S2M", 0x0800}, {"M2A", 0x1000}, {"M2B", 0x2000}, {"M2S", 0x4000},
};

}  // namespace

std::span<const PolicyPair> PolicyPairs() { return kPolicyPairs; }

}  // namespace quivera
