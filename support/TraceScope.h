// One step of the trace: an empty separator entry and "NAME BEGIN" when the
// step starts, "NAME END" however it is left.
#pragma once

namespace vkp {

class TraceScope {
 public:
  // name must outlive the scope (a literal, as a rule).
  explicit TraceScope(const char* name);
  ~TraceScope();
  TraceScope(const TraceScope&) = delete;
  TraceScope& operator=(const TraceScope&) = delete;

  // Writes END now, for a step whose END comes before its last actions
  // (a process exit, handles released afterwards); the scope then writes
  // nothing more.
  void End();

 private:
  const char* name_;
};

}  // namespace vkp
