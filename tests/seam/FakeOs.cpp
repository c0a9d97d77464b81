#include "tests/seam/FakeOs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace vkp::test {

namespace detail {

namespace {
FakeOs* gCurrent = nullptr;
}

FakeOs* CurrentFake() { return gCurrent; }
void SetCurrentFake(FakeOs* fake) { gCurrent = fake; }

// Resource names and types may be numbers in a pointer (MAKEINTRESOURCE).
std::string FormatArg(const char* s) {
  if (s == nullptr) return "(null)";
  if (IS_INTRESOURCE(s)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(s));
  return std::string(s);
}
std::string FormatArg(const wchar_t* s) {
  if (!s) return "(null)";
  std::string out;
  for (; *s; ++s) out.push_back(*s < 128 ? static_cast<char>(*s) : '?');
  return out;
}
// Writable buffers may still be uninitialised when the call is made.
std::string FormatArg(char* s) { return s ? "<buffer>" : "(null)"; }
std::string FormatArg(wchar_t* s) { return s ? "<buffer>" : "(null)"; }
std::string FormatArg(const void* p) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(p)));
  return text;
}

}  // namespace detail

namespace {

template <auto Slot>
using HookOf = detail::Hook<Slot, std::remove_reference_t<decltype(Os().*Slot)>>;

void InstallAllHooks() {
#define VKP_INSTALL_HOOK(fname, kind)                        \
  HookOf<&PlatformApi::fname>::name = #fname;                \
  HookOf<&PlatformApi::fname>::failKind = FailKind::kind;    \
  HookOf<&PlatformApi::fname>::handler = nullptr;            \
  Os().fname = &HookOf<&PlatformApi::fname>::Call;
  VKP_OS_FUNCTIONS(VKP_INSTALL_HOOK)
#undef VKP_INSTALL_HOOK
}

// True when `name` is an entry of the seam (platform/OsFunctions.h).
bool IsSeamFunction(const std::string& name) {
#define VKP_MATCH_NAME(fname, kind) \
  if (name == #fname) return true;
  VKP_OS_FUNCTIONS(VKP_MATCH_NAME)
#undef VKP_MATCH_NAME
  return false;
}

void RemoveAllHooks() {
#define VKP_REMOVE_HOOK(fname, kind) HookOf<&PlatformApi::fname>::handler = nullptr;
  VKP_OS_FUNCTIONS(VKP_REMOVE_HOOK)
#undef VKP_REMOVE_HOOK
  Os() = RealOs();
}

}  // namespace

FakeOs::FakeOs() {
  if (detail::CurrentFake() != nullptr) throw std::logic_error("one FakeOs at a time");
  InstallAllHooks();
  InstallDefaults();
  detail::SetCurrentFake(this);
}

FakeOs::~FakeOs() {
  detail::SetCurrentFake(nullptr);
  RemoveAllHooks();
}

void FakeOs::InstallDefaults() {
  Replace<&PlatformApi::Sleep>([this](DWORD ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    sleeps_.push_back(ms);
  });
  Replace<&PlatformApi::MessageBoxA>([this](HWND, LPCSTR text, LPCSTR caption, UINT flags) {
    std::lock_guard<std::mutex> lock(mutex_);
    boxes_.push_back({text ? text : "", caption ? caption : "", flags});
    if (answers_.empty()) return IDOK;
    int answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  });
  Replace<&PlatformApi::ExitWindowsEx>([this](UINT flags, DWORD) -> BOOL {
    std::lock_guard<std::mutex> lock(mutex_);
    restarts_.push_back(flags);
    return TRUE;
  });
  Replace<&PlatformApi::ExitProcess>([](UINT code) { throw ProcessExit{code}; });
  Replace<&PlatformApi::GetLocalTime>([this](LPSYSTEMTIME time) {
    std::optional<SYSTEMTIME> fixed;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      fixed = fixedTime_;
    }
    if (fixed) {
      *time = *fixed;
    } else {
      RealOs().GetLocalTime(time);
    }
  });
}

int FakeOs::Record(const char* name, std::vector<std::string> args, std::size_t* index) {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.push_back({name, std::move(args), {}});
  if (index != nullptr) *index = calls_.size() - 1;
  return ++counts_[name];
}

void FakeOs::SetResult(std::size_t index, std::string result) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index < calls_.size()) calls_[index].result = std::move(result);
}

std::optional<DWORD> FakeOs::FailureFor(const char* name, int ordinal) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = failures_.find(name);
  if (it == failures_.end()) return std::nullopt;
  auto every = it->second.find(0);
  if (every != it->second.end()) return every->second;
  auto nth = it->second.find(ordinal);
  if (nth != it->second.end()) return nth->second;
  return std::nullopt;
}

void FakeOs::FailNth(const std::string& name, int n, DWORD error) {
  if (!IsSeamFunction(name)) {
    ADD_FAILURE() << "FakeOs::FailNth: \"" << name
                  << "\" is not a function of the platform seam (platform/OsFunctions.h); it would never fail";
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  const int base = n == 0 ? 0 : counts_[name];
  failures_[name][n == 0 ? 0 : base + n] = error;
}

std::vector<RecordedCall> FakeOs::Calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

std::vector<std::string> FakeOs::CallNames() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> names;
  for (const auto& call : calls_) names.push_back(call.name);
  return names;
}

std::vector<RecordedCall> FakeOs::CallsOf(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<RecordedCall> out;
  for (const auto& call : calls_)
    if (call.name == name) out.push_back(call);
  return out;
}

int FakeOs::CountOf(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  int n = 0;
  for (const auto& call : calls_) n += call.name == name;
  return n;
}

void FakeOs::ClearCalls() {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.clear();
  sleeps_.clear();
  boxes_.clear();
  restarts_.clear();
}

std::vector<DWORD> FakeOs::Sleeps() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sleeps_;
}

std::vector<RecordedBox> FakeOs::MessageBoxes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_;
}

void FakeOs::QueueMessageBoxAnswer(int answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.push_back(answer);
}

std::vector<UINT> FakeOs::RestartRequests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return restarts_;
}

void FakeOs::SetLocalTime(WORD hour, WORD minute, WORD second) {
  SYSTEMTIME time{};
  time.wYear = 2026;
  time.wMonth = 12;
  time.wDay = 7;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  std::lock_guard<std::mutex> lock(mutex_);
  fixedTime_ = time;
}

}  // namespace vkp::test
