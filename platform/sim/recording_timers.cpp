#include "platform/sim/recording_timers.h"

namespace kl {

uint32_t RecordingTimers::PeriodOf(uint32_t id) const {
  auto it = m_running.find(id);
  return it == m_running.end() ? 0 : it->second;
}

bool RecordingTimers::Start(uint32_t id, uint32_t milliseconds) {
  m_calls.push_back("timer start " + std::to_string(id) + " " + std::to_string(milliseconds));
  if (m_failing) return false;
  m_running[id] = milliseconds;
  return true;
}

void RecordingTimers::Stop(uint32_t id) {
  m_calls.push_back("timer stop " + std::to_string(id));
  m_running.erase(id);
}

}  // namespace kl
