// Owning wrappers for the handles the programs obtain through the seam: each
// releases its handle through the seam exactly once, on every path.
#pragma once

#include <utility>

#include "platform/Os.h"

namespace vkp {

template <typename T, typename Traits>
class UniqueResource {
 public:
  UniqueResource() = default;
  explicit UniqueResource(T value) : value_(value) {}
  ~UniqueResource() { reset(); }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T get() const { return value_; }
  bool valid() const { return value_ != Traits::Invalid(); }
  explicit operator bool() const { return valid(); }
  // For out-parameters: releases what is held and exposes the slot.
  T* put() {
    reset();
    return &value_;
  }
  T release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(T value = Traits::Invalid()) {
    if (valid()) Traits::Close(value_);
    value_ = value;
  }

 private:
  T value_ = Traits::Invalid();
};

struct KernelHandleTraits {  // NULL means none (processes, threads, tokens)
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { Os().CloseHandle(h); }
};
struct FileHandleTraits {  // INVALID_HANDLE_VALUE means none
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { Os().CloseHandle(h); }
};
struct FindHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { Os().FindClose(h); }
};
struct RegKeyTraits {
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY k) { Os().RegCloseKey(k); }
};
struct PrinterTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { Os().ClosePrinter(h); }
};
struct DevInfoTraits {
  static HDEVINFO Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HDEVINFO h) { Os().SetupDiDestroyDeviceInfoList(h); }
};
struct InfTraits {
  static HINF Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HINF h) { Os().SetupCloseInfFile(h); }
};
struct LocalMemTraits {  // memory from LocalAlloc (ACLs, descriptors, messages)
  static HLOCAL Invalid() { return nullptr; }
  static void Close(HLOCAL p) { Os().LocalFree(p); }
};
struct SidTraits {
  static PSID Invalid() { return nullptr; }
  static void Close(PSID p) { Os().FreeSid(p); }
};

struct MsiHandleTraits {  // Windows Installer records (0 means none)
  static MSIHANDLE Invalid() { return 0; }
  static void Close(MSIHANDLE h) { Os().MsiCloseHandle(h); }
};

using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;
using UniqueFile = UniqueResource<HANDLE, FileHandleTraits>;
using UniqueFind = UniqueResource<HANDLE, FindHandleTraits>;
using UniqueRegKey = UniqueResource<HKEY, RegKeyTraits>;
using UniquePrinter = UniqueResource<HANDLE, PrinterTraits>;
using UniqueDevInfo = UniqueResource<HDEVINFO, DevInfoTraits>;
using UniqueInf = UniqueResource<HINF, InfTraits>;
using UniqueLocal = UniqueResource<HLOCAL, LocalMemTraits>;
using UniqueSid = UniqueResource<PSID, SidTraits>;
using UniqueMsiHandle = UniqueResource<MSIHANDLE, MsiHandleTraits>;

}  // namespace vkp
