#include "platform/Os.h"

#include "platform/SystemLibrary.h"

namespace vkp {

namespace {

HMODULE Spooler() {
  static const HMODULE module = LoadSystemLibrary("winspool.drv");
  return module;
}

// Always loaded: every process has it.
HMODULE Kernel() { return ::GetModuleHandleA("kernel32"); }
// Loaded too: the programs import it.
HMODULE User() { return ::GetModuleHandleA("user32"); }

HMODULE Graphics() {
  static const HMODULE module = LoadSystemLibrary("gdi32.dll");
  return module;
}

HMODULE Installer() {
  static const HMODULE module = LoadSystemLibrary("msi.dll");
  return module;
}

// A function bound on its first call. Without the DLL or the entry it fails
// the way the function itself reports failure, with ERROR_PROC_NOT_FOUND.
template <typename Entry, typename Fn>
struct LateBound;

template <typename Entry, typename R, typename... Args>
struct LateBound<Entry, R(WINAPI*)(Args...)> {
  static R WINAPI Call(Args... args) {
    using Fn = R(WINAPI*)(Args...);
    static const Fn target = Entry::Module() == nullptr
                                 ? nullptr
                                 : reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(
                                       ::GetProcAddress(Entry::Module(), Entry::kName)));
    if (target == nullptr) {
      ::SetLastError(ERROR_PROC_NOT_FOUND);
      if constexpr (Entry::kReturnsError) return static_cast<R>(ERROR_PROC_NOT_FOUND);
      return R{};
    }
    return target(args...);
  }
};

constexpr bool kReturnsErrorZero = false;
constexpr bool kReturnsErrorErrorCode = true;
constexpr bool kReturnsErrorBadAttrs = false;

#define VKP_LATE_ENTRY(name, failKind, module)                     \
  struct name##Entry {                                             \
    static constexpr const char kName[] = #name;                   \
    static constexpr bool kReturnsError = kReturnsError##failKind; \
    static HMODULE Module() { return module(); }                   \
  };
#define VKP_SPOOLER_ENTRY(name, failKind) VKP_LATE_ENTRY(name, failKind, Spooler)
#define VKP_KERNEL_ENTRY(name, failKind) VKP_LATE_ENTRY(name, failKind, Kernel)
#define VKP_USER_ENTRY(name, failKind) VKP_LATE_ENTRY(name, failKind, User)
#define VKP_GDI_ENTRY(name, failKind) VKP_LATE_ENTRY(name, failKind, Graphics)
#define VKP_MSI_ENTRY(name, failKind) VKP_LATE_ENTRY(name, failKind, Installer)
VKP_OS_SPOOLER_FUNCTIONS(VKP_SPOOLER_ENTRY)
VKP_OS_KERNEL_LATE_FUNCTIONS(VKP_KERNEL_ENTRY)
VKP_OS_USER_LATE_FUNCTIONS(VKP_USER_ENTRY)
VKP_OS_GDI_LATE_FUNCTIONS(VKP_GDI_ENTRY)
VKP_OS_MSI_LATE_FUNCTIONS(VKP_MSI_ENTRY)
#undef VKP_MSI_ENTRY
#undef VKP_GDI_ENTRY
#undef VKP_USER_ENTRY
#undef VKP_KERNEL_ENTRY
#undef VKP_SPOOLER_ENTRY
#undef VKP_LATE_ENTRY

}  // namespace

const PlatformApi& RealOs() {
  static const PlatformApi real = [] {
    PlatformApi api{};
#define VKP_BIND_OS_ENTRY(name, failKind) api.name = &::name;
#define VKP_BIND_LATE_ENTRY(name, failKind) api.name = &LateBound<name##Entry, decltype(&::name)>::Call;
    VKP_OS_IMPORTED_FUNCTIONS(VKP_BIND_OS_ENTRY)
    VKP_OS_KERNEL_LATE_FUNCTIONS(VKP_BIND_LATE_ENTRY)
    VKP_OS_USER_LATE_FUNCTIONS(VKP_BIND_LATE_ENTRY)
    VKP_OS_GDI_LATE_FUNCTIONS(VKP_BIND_LATE_ENTRY)
    VKP_OS_MSI_LATE_FUNCTIONS(VKP_BIND_LATE_ENTRY)
    VKP_OS_SPOOLER_FUNCTIONS(VKP_BIND_LATE_ENTRY)
#undef VKP_BIND_LATE_ENTRY
#undef VKP_BIND_OS_ENTRY
    return api;
  }();
  return real;
}

PlatformApi& Os() {
  static PlatformApi current = RealOs();
  return current;
}

}  // namespace vkp
