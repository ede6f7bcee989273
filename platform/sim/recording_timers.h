// Simulated window timers: records starts and stops and knows which run.
// Starting a running id again replaces its period, as SetTimer does. The
// calls go to a list of the timers' own, or to a log shared with other
// recording ports, so that one transcript shows what happened in order.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/timers.h"

namespace kl {

class RecordingTimers : public Timers {
 public:
  RecordingTimers() : m_calls(m_ownCalls) {}
  explicit RecordingTimers(std::vector<std::string>& log) : m_calls(log) {}
  RecordingTimers(const RecordingTimers&) = delete;
  RecordingTimers& operator=(const RecordingTimers&) = delete;

  bool IsRunning(uint32_t id) const { return m_running.count(id) != 0; }
  uint32_t PeriodOf(uint32_t id) const;  // 0 when not running
  // "timer start ID MS" / "timer stop ID", one entry per call (with a
  // shared log, everything in it).
  const std::vector<std::string>& Calls() const { return m_calls; }
  void ClearCalls() { m_calls.clear(); }
  // While set, Start is recorded but fails and starts nothing (the window
  // system is out of timers).
  void SetFailing(bool failing) { m_failing = failing; }

  bool Start(uint32_t id, uint32_t milliseconds) override;
  void Stop(uint32_t id) override;

 private:
  std::map<uint32_t, uint32_t> m_running;
  std::vector<std::string> m_ownCalls;
  std::vector<std::string>& m_calls;
  bool m_failing = false;
};

}  // namespace kl
