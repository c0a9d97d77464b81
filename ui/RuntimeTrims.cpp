// Program-only replacements for parts of the C++ runtime that a static link
// would otherwise carry for messages nobody can read: these are window
// programs without a console. Each keeps what the original does to the
// process.
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <exception>
#include <new>

// Ends the process as the default handler does, without printing the
// exception's demangled name (saves the demangler).
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// The programs are built without exceptions, and nothing in them would catch
// one: where the runtime throws (an allocation failure, a misused string or
// container, an empty function object) or terminates (a pure virtual call), the process ends as it
// would for an uncaught exception, without the runtime's unwinder.
namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
}  // namespace std

extern "C" void __cxa_pure_virtual() { std::abort(); }

void* operator new(std::size_t size) {
  if (void* block = std::malloc(size != 0 ? size : 1)) return block;
  std::abort();
}
void* operator new[](std::size_t size) { return ::operator new(size); }

// Guards of function-local statics, the per-thread variables (thread_local,
// and the runtime's own exception state), and the few POSIX thread calls
// the runtime's unwinder and exception allocator make, all on the system's
// primitives: the runtime's versions go through the POSIX thread library,
// the largest part of the static runtime. A use of anything else from that
// library (std::thread, for one) brings it back and then fails to link,
// naming these functions twice.
namespace {

// A guard is 64 bits: the compiler's inline check reads the first byte (set
// once the object is made); the second word holds the thread making it.
LONG* GuardOwner(__cxxabiv1::__guard* guard) { return reinterpret_cast<LONG*>(guard) + 1; }
bool GuardDone(__cxxabiv1::__guard* guard) {
  return __atomic_load_n(reinterpret_cast<char*>(guard), __ATOMIC_ACQUIRE) != 0;
}

// The per-thread variables of one thread: element 0 holds the capacity,
// element N the variable numbered N, made on its first use in the thread.
DWORD gTlsSlotPlusOne = 0;
LONG gTlsVariables = 0;

DWORD TlsSlot() {
  const DWORD known = __atomic_load_n(&gTlsSlotPlusOne, __ATOMIC_ACQUIRE);
  if (known != 0) return known - 1;
  const DWORD fresh = ::TlsAlloc();
  if (fresh == TLS_OUT_OF_INDEXES) std::abort();
  DWORD expected = 0;
  if (__atomic_compare_exchange_n(&gTlsSlotPlusOne, &expected, fresh + 1, false, __ATOMIC_ACQ_REL,
                                  __ATOMIC_ACQUIRE))
    return fresh;
  ::TlsFree(fresh);  // another thread was first
  return expected - 1;
}

// Aligned blocks from malloc (the C library's own aligned allocation is
// missing from older systems' copies): the block's start sits just below.
void* AllocateAligned(std::size_t size, std::size_t align) {
  void* const block = std::malloc(size + align + sizeof(void*));
  if (block == nullptr) return nullptr;
  const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(block) + sizeof(void*);
  void** const aligned = reinterpret_cast<void**>((first + align - 1) & ~static_cast<std::uintptr_t>(align - 1));
  aligned[-1] = block;
  return aligned;
}

void FreeAligned(void* aligned) {
  if (aligned != nullptr) std::free(static_cast<void**>(aligned)[-1]);
}

// The thread's variables go with the thread.
void NTAPI FreeThreadVariables(PVOID, DWORD reason, PVOID) {
  if (reason != DLL_THREAD_DETACH) return;
  const DWORD slot = __atomic_load_n(&gTlsSlotPlusOne, __ATOMIC_ACQUIRE);
  if (slot == 0) return;
  void** values = static_cast<void**>(::TlsGetValue(slot - 1));
  if (values == nullptr) return;
  const std::size_t capacity = reinterpret_cast<std::size_t>(values[0]);
  for (std::size_t i = 1; i <= capacity; ++i) FreeAligned(values[i]);
  std::free(values);
  ::TlsSetValue(slot - 1, nullptr);
}

}  // namespace

// Run by the loader for every thread that ends (the C runtime's TLS
// directory lists the .CRT$XL* entries).
extern "C" __attribute__((section(".CRT$XLV"), used)) const PIMAGE_TLS_CALLBACK vkpFreeThreadVariables =
    FreeThreadVariables;

namespace __cxxabiv1 {

extern "C" int __cxa_guard_acquire(__guard* guard) {
  const LONG self = static_cast<LONG>(::GetCurrentThreadId());
  while (!GuardDone(guard)) {
    const LONG owner = ::InterlockedCompareExchange(GuardOwner(guard), self, 0);
    if (owner == 0) {
      if (!GuardDone(guard)) return 1;  // this thread makes the object
      return 0;  // made between the check and the claim
    }
    if (owner == self) std::abort();  // the object's initialiser needs the object itself
    ::Sleep(0);  // another thread is making it
  }
  return 0;
}

// The owner word stays set: the done byte is checked first.
extern "C" void __cxa_guard_release(__guard* guard) noexcept {
  __atomic_store_n(reinterpret_cast<char*>(guard), 1, __ATOMIC_RELEASE);
}

extern "C" void __cxa_guard_abort(__guard* guard) noexcept { ::InterlockedExchange(GuardOwner(guard), 0); }

}  // namespace __cxxabiv1

// The compiler's layout of a per-thread variable's control block.
struct EmutlsObject {
  std::size_t size;
  std::size_t align;
  std::size_t number;  // 0 until the variable's first use in any thread
  const void* initialValue;  // null: zeroed
};

extern "C" void* __emutls_get_address(EmutlsObject* variable) {
  std::size_t number = __atomic_load_n(&variable->number, __ATOMIC_ACQUIRE);
  if (number == 0) {
    // A number lost to another thread's claim is simply never used.
    const std::size_t claim = static_cast<std::size_t>(::InterlockedIncrement(&gTlsVariables));
    number = __atomic_compare_exchange_n(&variable->number, &number, claim, false, __ATOMIC_ACQ_REL,
                                         __ATOMIC_ACQUIRE)
                 ? claim
                 : number;
  }
  // TlsGetValue clears the last error; the caller may be between a failed
  // call and its GetLastError.
  const DWORD lastError = ::GetLastError();
  const DWORD slot = TlsSlot();
  void** values = static_cast<void**>(::TlsGetValue(slot));
  const std::size_t capacity = values != nullptr ? reinterpret_cast<std::size_t>(values[0]) : 0;
  if (number > capacity) {
    const std::size_t grown = number + 8;
    void** more = static_cast<void**>(std::realloc(values, (grown + 1) * sizeof(void*)));
    if (more == nullptr) std::abort();
    std::memset(more + capacity + 1, 0, (grown - capacity) * sizeof(void*));
    more[0] = reinterpret_cast<void*>(grown);
    values = more;
    ::TlsSetValue(slot, values);
  }
  if (values[number] == nullptr) {
    const std::size_t align = variable->align > sizeof(void*) ? variable->align : sizeof(void*);
    void* storage = AllocateAligned(variable->size, align);
    if (storage == nullptr) std::abort();
    if (variable->initialValue != nullptr)
      std::memcpy(storage, variable->initialValue, variable->size);
    else
      std::memset(storage, 0, variable->size);
    values[number] = storage;
  }
  ::SetLastError(lastError);
  return values[number];
}

// The POSIX calls, with the library's types: a mutex is a pointer-sized
// word, negative while it holds a static initialiser; a once-flag a long.
namespace {

CRITICAL_SECTION* MutexSection(std::intptr_t* mutex) {
  std::intptr_t current = __atomic_load_n(mutex, __ATOMIC_ACQUIRE);
  if (current != 0 && (current < -3 || current > -1)) return reinterpret_cast<CRITICAL_SECTION*>(current);
  auto* fresh = static_cast<CRITICAL_SECTION*>(std::malloc(sizeof(CRITICAL_SECTION)));
  if (fresh == nullptr) std::abort();
  ::InitializeCriticalSection(fresh);
  if (__atomic_compare_exchange_n(mutex, &current, reinterpret_cast<std::intptr_t>(fresh), false,
                                  __ATOMIC_ACQ_REL, __ATOMIC_ACQUIRE))
    return fresh;
  ::DeleteCriticalSection(fresh);  // another thread was first
  std::free(fresh);
  return reinterpret_cast<CRITICAL_SECTION*>(current);
}

}  // namespace

extern "C" {

int pthread_once(long* once, void (*init)()) {
  enum : long { kNotRun, kRunning, kDone };
  while (__atomic_load_n(once, __ATOMIC_ACQUIRE) != kDone) {
    if (::InterlockedCompareExchange(once, kRunning, kNotRun) == kNotRun) {
      init();
      __atomic_store_n(once, kDone, __ATOMIC_RELEASE);
      break;
    }
    ::Sleep(0);
  }
  return 0;
}

int pthread_mutex_init(std::intptr_t* mutex, const void*) {
  *mutex = -1;  // made on first use
  return 0;
}

int pthread_mutex_lock(std::intptr_t* mutex) {
  ::EnterCriticalSection(MutexSection(mutex));
  return 0;
}

int pthread_mutex_unlock(std::intptr_t* mutex) {
  ::LeaveCriticalSection(MutexSection(mutex));
  return 0;
}

int pthread_mutex_destroy(std::intptr_t* mutex) {
  const std::intptr_t current = *mutex;
  if (current != 0 && (current < -3 || current > -1)) {
    ::DeleteCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(current));
    std::free(reinterpret_cast<void*>(current));
  }
  *mutex = -1;
  return 0;
}

}  // extern "C"

// The C99 formatting that snprintf and vsnprintf reach here, on the system
// C library's formatter instead of the runtime's own (which brings its
// floating-point conversions along). The programs' texts use only
// conversions both print alike (%s, %ls, %d, %u with flags and widths); the
// C99 results are kept: always terminated, the full length returned.
extern "C" int __cdecl __mingw_vsnprintf(char* __restrict__ buffer, std::size_t size,
                                         const char* __restrict__ format, va_list args) {
  va_list again;
  va_copy(again, args);
  int length = size > 0 ? _vsnprintf(buffer, size, format, args) : -1;
  if (length < 0 || static_cast<std::size_t>(length) >= size) {
    if (size > 0) buffer[size - 1] = '\0';
    length = _vscprintf(format, again);
  }
  va_end(again);
  return length;
}
