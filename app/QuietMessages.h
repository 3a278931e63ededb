#pragma once
#include "platform/UserMessages.h"

namespace mirelock {

// Drops every message. For readers whose complaints were shown already (the
// analysis after the summariser) or do not matter to the caller (best.txt for
// the monitor chart, which then just draws no best known line).
class QuietMessages : public UserMessages {
 public:
  void Show(const std::string&) override {}
};

}  // namespace mirelock
