// A text written by the worker thread and read by the dialog's thread when it
// refreshes: every access takes the lock, so a reader never sees half a text.
// Tests can ask it to keep every text it was given, in order.
#pragma once

#include <string>
#include <vector>

#include "platform/Lock.h"

namespace vkp::ui {

class SharedText {
 public:
  void Set(std::string text) {
    Held lock(lock_);
    if (keepHistory_) history_.push_back(text);
    text_ = std::move(text);
  }
  std::string Get() const {
    Held lock(lock_);
    return text_;
  }
  void KeepHistory() {
    Held lock(lock_);
    keepHistory_ = true;
  }
  std::vector<std::string> History() const {
    Held lock(lock_);
    return history_;
  }

 private:
  mutable Lock lock_;
  std::string text_;
  bool keepHistory_ = false;
  std::vector<std::string> history_;
};

}  // namespace vkp::ui
