// TICKCOST.EXE: where the runtime mapper's time goes on this platform. It
// runs the mapper's logic on the real Win32 seams (window timers recorded
// instead of set) from the installation folder it is started in, and times
// monitor ticks, poll ticks and each seam call a monitor tick makes, as the
// wall time of many repetitions. scripts/bench-wine prints what it finds.
//
//   TICKCOST.EXE [REPETITIONS]
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/win32/wall_clock.h"
#include "gamepad/pads.h"
#include "mapper/detect.h"
#include "platform/sim/recording_timers.h"
#include "platform/win32/win32_seams.h"

namespace {

template <typename Call>
void Time(const char* what, int repetitions, Call call) {
  const double start = NowMs();
  for (int i = 0; i < repetitions; ++i) call();
  const double microseconds = (NowMs() - start) * 1000.0 / repetitions;
  std::printf("%-44s %10.1f us\n", what, microseconds);
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::atoi(argv[1]) : 200;
  if (repetitions <= 0) return 1;
  kl::Win32Seams seams(nullptr, nullptr);
  kl::Joystick& joystick = seams.GetJoystick();
  kl::Registry& registry = seams.GetRegistry();
  kl::Processes& processes = seams.GetProcesses();
  kl::FileSystem& fs = seams.GetFileSystem();
  kl::Desktop& desktop = seams.GetDesktop();
  kl::RecordingTimers timers;
  const std::string folder = seams.Folder() + "KeyFiles\\";
  kl::RuntimeMapper mapper(kl::MapperSeams{joystick, registry, seams.GetInput(), processes,
                                           seams.GetDosBox(), fs, timers, desktop},
                           folder);
  mapper.Start();
  mapper.MonitorTick();
  std::printf("pads %u, game %s, active %d\n", mapper.PadCount(),
              mapper.CurrentGame().empty() ? "-" : mapper.CurrentGame().c_str(),
              mapper.IsActive() ? 1 : 0);

  Time("monitor tick (process count unchanged)", repetitions, [&] { mapper.MonitorTick(); });
  Time("poll tick", repetitions, [&] { mapper.PollTick(); });

  std::vector<std::string> names;
  Time("  process snapshot", repetitions, [&] {
    names.clear();
    processes.Snapshot(names);
  });
  Time("    CreateToolhelp32Snapshot alone", repetitions, [&] {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot != INVALID_HANDLE_VALUE) CloseHandle(snapshot);
  });
  Time("    EnumProcesses (identifiers only)", repetitions, [&] {
    DWORD ids[4096];
    DWORD bytes = 0;
    EnumProcesses(ids, sizeof ids, &bytes);
  });
  std::printf("processes in a snapshot: %zu\n", names.size());
  kl::PadAccess pads(joystick, registry);
  Time("  pad enumeration (16 joystick ids)", repetitions, [&] { pads.EnumeratePads(); });
  kl::JoyInfo info;
  Time("    joyGetPosEx", repetitions, [&] { pads.ReadPad(0, info); });
  std::string name;
  Time("    OEM name of joystick 0 (registry)", repetitions, [&] { pads.ReadOemName(0, name); });
  Time("  editor window search (FindWindowA)", repetitions,
       [&] { desktop.FindWindowByTitle(kl::kEditorTitle); });
  Time("  foreground window", repetitions, [&] { desktop.ForegroundWindow(); });
  Time("  game list write time (FindFirstFileA)", repetitions,
       [&] { fs.LastWriteTime(folder + "GameList.lst"); });
  return 0;
}
