#pragma once
#include <mutex>
#include <string>

#include "platform/UserMessages.h"

namespace mirelock {

// Passes messages on one at a time. The desktop app's messages are modal
// boxes that the calling worker waits on; with several workers they must
// still come one after another, as they do from a single worker.
class SerialMessages : public UserMessages {
 public:
  explicit SerialMessages(UserMessages& target) : target_(target) {}
  void Show(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    target_.Show(text);
  }

 private:
  UserMessages& target_;
  std::mutex mutex_;
};

}  // namespace mirelock
