#include "platform/win32/win32_seams.h"

#include "platform/win32/program_folder.h"

namespace kl {

Win32Seams::Win32Seams(HINSTANCE__* instance, HINSTANCE__* resources)
    : m_folder(ProgramFolder(instance)),
      m_timers(nullptr),
      m_strings(resources != nullptr ? resources : instance) {}

}  // namespace kl
