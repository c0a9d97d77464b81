// A text written by the worker thread and read by the dialog's thread when it
// refreshes: every access takes the lock, so a reader never sees half a text.
// Tests can ask it to keep every text it was given, in order.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace vkp::ui {

class SharedText {
 public:
  void Set(std::string text) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (keepHistory_) history_.push_back(text);
    text_ = std::move(text);
  }
  std::string Get() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
  }
  void KeepHistory() {
    std::lock_guard<std::mutex> lock(mutex_);
    keepHistory_ = true;
  }
  std::vector<std::string> History() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return history_;
  }

 private:
  mutable std::mutex mutex_;
  std::string text_;
  bool keepHistory_ = false;
  std::vector<std::string> history_;
};

}  // namespace vkp::ui
