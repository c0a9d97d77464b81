// Test side of the platform seam: while a FakeOs lives, every entry of Os()
// records its calls in order and can be made to fail (the n-th call of a
// function, with a chosen error code) or replaced by a handler. Sleeps are
// instant and recorded, message boxes are answered from a queue and recorded,
// a restart request never reaches the platform, and ExitProcess throws
// ProcessExit instead of ending the test.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/Os.h"

namespace vkp::test {

struct ProcessExit {
  UINT code;
};

struct RecordedCall {
  std::string name;
  std::vector<std::string> args;  // const strings as text, numbers in decimal, other pointers in hex
  std::string result;             // the value returned, formatted the same way ("" for void)
};

struct RecordedBox {
  std::string text;
  std::string caption;
  UINT flags;
};

enum class FailKind { Zero, BadHandle, ErrorCode, BadAttrs, NoFail };

class FakeOs;

namespace detail {

FakeOs* CurrentFake();
std::string FormatArg(const char* s);
std::string FormatArg(const wchar_t* s);
std::string FormatArg(char* s);
std::string FormatArg(wchar_t* s);
std::string FormatArg(const void* p);
template <typename T>
std::string FormatArg(const T& v) {
  if constexpr (std::is_enum_v<T>) {
    return std::to_string(static_cast<long long>(v));
  } else if constexpr (std::is_integral_v<T>) {
    return std::to_string(v);
  } else if constexpr (std::is_pointer_v<T> && std::is_function_v<std::remove_pointer_t<T>>) {
    return v != nullptr ? "<function>" : "(null)";
  } else if constexpr (std::is_pointer_v<T>) {
    return FormatArg(static_cast<const void*>(v));
  } else {
    return "<value>";
  }
}

template <typename R>
R FailValue(FailKind kind, DWORD error) {
  if constexpr (std::is_void_v<R>) {
    return;
  } else if constexpr (std::is_pointer_v<R>) {
    if (kind == FailKind::BadHandle) return reinterpret_cast<R>(INVALID_HANDLE_VALUE);
    return nullptr;
  } else {
    switch (kind) {
      case FailKind::ErrorCode: return static_cast<R>(error);
      case FailKind::BadAttrs: return static_cast<R>(~static_cast<unsigned long long>(0));
      default: return R{};
    }
  }
}

template <auto Slot, typename Fn>
struct Hook;

template <auto Slot, typename R, typename... A>
struct Hook<Slot, R(WINAPI*)(A...)> {
  using Handler = std::function<R(A...)>;
  static inline const char* name = "";
  static inline FailKind failKind = FailKind::Zero;
  static inline Handler handler;  // empty: call the real function

  static R WINAPI Call(A... args);
};

}  // namespace detail

class FakeOs {
 public:
  FakeOs();
  ~FakeOs();
  FakeOs(const FakeOs&) = delete;
  FakeOs& operator=(const FakeOs&) = delete;

  // Recorded calls, in the order they were made (all threads).
  std::vector<RecordedCall> Calls() const;
  std::vector<std::string> CallNames() const;
  std::vector<RecordedCall> CallsOf(const std::string& name) const;
  int CountOf(const std::string& name) const;
  void ClearCalls();

  // Makes the n-th call (1-based, counted from now) of `name` fail with
  // `error`: the function is not called, its failure value is returned and
  // the thread's last error is set. n = 0 makes every call fail. A name that
  // is not in the seam (platform/OsFunctions.h) fails the test instead.
  void FailNth(const std::string& name, int n, DWORD error);

  // Replaces the behaviour of one entry; the call is still recorded.
  template <auto Slot, typename F>
  void Replace(F&& handler) {
    using Fn = std::remove_reference_t<decltype(Os().*Slot)>;
    detail::Hook<Slot, Fn>::handler = std::forward<F>(handler);
  }
  // Back to the real function.
  template <auto Slot>
  void Restore() {
    using Fn = std::remove_reference_t<decltype(Os().*Slot)>;
    detail::Hook<Slot, Fn>::handler = nullptr;
  }

  // Sleep: instant; the lengths asked for, in order.
  std::vector<DWORD> Sleeps() const;
  // Message boxes: recorded; answered with the queued answers, then IDOK.
  std::vector<RecordedBox> MessageBoxes() const;
  void QueueMessageBoxAnswer(int answer);
  // Restart requests (ExitWindowsEx flags), never passed to the platform.
  std::vector<UINT> RestartRequests() const;
  // A fixed local time for GetLocalTime (otherwise the real clock).
  void SetLocalTime(WORD hour, WORD minute, WORD second);

  // Used by the hooks. Record gives the call's ordinal for its name and its
  // place in the list, where SetResult puts the returned value.
  int Record(const char* name, std::vector<std::string> args, std::size_t* index = nullptr);
  void SetResult(std::size_t index, std::string result);
  std::optional<DWORD> FailureFor(const char* name, int ordinal);

 private:
  void InstallDefaults();

  mutable std::mutex mutex_;
  std::vector<RecordedCall> calls_;
  std::map<std::string, int> counts_;
  std::map<std::string, std::map<int, DWORD>> failures_;
  std::vector<DWORD> sleeps_;
  std::vector<RecordedBox> boxes_;
  std::vector<int> answers_;
  std::vector<UINT> restarts_;
  std::optional<SYSTEMTIME> fixedTime_;
};

namespace detail {
template <auto Slot, typename R, typename... A>
R WINAPI Hook<Slot, R(WINAPI*)(A...)>::Call(A... args) {
  FakeOs* fake = CurrentFake();
  if (fake == nullptr) return (RealOs().*Slot)(args...);
  std::size_t index = 0;
  const int ordinal = fake->Record(name, {FormatArg(args)...}, &index);
  if constexpr (std::is_void_v<R>) {
    if (handler) {
      handler(args...);
    } else {
      (RealOs().*Slot)(args...);
    }
  } else {
    R result{};
    std::optional<DWORD> error;
    if (failKind != FailKind::NoFail) error = fake->FailureFor(name, ordinal);
    if (error) {
      result = FailValue<R>(failKind, *error);
    } else if (handler) {
      result = handler(args...);
    } else {
      result = (RealOs().*Slot)(args...);
    }
    const DWORD lastError = ::GetLastError();
    fake->SetResult(index, FormatArg(result));
    ::SetLastError(error ? *error : lastError);
    return result;
  }
}
}  // namespace detail

// Exactly one message box was shown, with `text` and `flags`.
inline ::testing::AssertionResult ShowedOneBox(const FakeOs& os, const std::string& text, UINT flags) {
  const std::vector<RecordedBox> boxes = os.MessageBoxes();
  if (boxes.size() != 1) return ::testing::AssertionFailure() << boxes.size() << " message boxes";
  if (boxes[0].text != text || boxes[0].flags != flags)
    return ::testing::AssertionFailure() << "box \"" << boxes[0].text << "\" with flags " << boxes[0].flags;
  return ::testing::AssertionSuccess();
}

}  // namespace vkp::test
