#include "support/TraceScope.h"

#include "support/TraceLog.h"

namespace vkp {

TraceScope::TraceScope(const char* name) : name_(name) {
  WriteTraceLog("\r\n");
  WriteTraceLog("%s BEGIN", name_);
}

TraceScope::~TraceScope() { End(); }

void TraceScope::End() {
  if (name_ == nullptr) return;
  WriteTraceLog("%s END", name_);
  name_ = nullptr;
}

}  // namespace vkp
