// A text written by the worker thread and read by the dialog's thread when it
// refreshes: every access takes the lock, so a reader never sees half a text.
#pragma once

#include <mutex>
#include <string>

namespace vkp::ui {

class SharedText {
 public:
  void Set(std::string text) {
    std::lock_guard<std::mutex> lock(mutex_);
    text_ = std::move(text);
  }
  std::string Get() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
  }

 private:
  mutable std::mutex mutex_;
  std::string text_;
};

}  // namespace vkp::ui
