// Small helpers the Windows tests share: where the test program lives,
// starting helper programs and capturing what they print, waiting for a
// condition while the thread's messages keep flowing, and reading files.
// Every wait is bounded so that a broken program fails a test instead of
// hanging it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kl::winetest {

// The folder of the running test program, with a trailing backslash.
std::string ProgramFolder();

// A path in the prefix's temporary folder for a file of this test.
std::string TempPath(const std::string& name);

struct RunResult {
  bool finished = false;  // false: it could not start or did not end in time
  DWORD exitCode = 0;
  std::string output;  // standard output and standard error together
};

// Runs `commandLine` (program and arguments, quoted as CreateProcess wants
// them) and waits for it to end.
RunResult RunProgram(const std::string& commandLine, DWORD timeoutMs = 30000);

// Runs a program of the test's folder, e.g. RunHelper("vpadctl.exe", {"plug", "0"}).
RunResult RunHelper(const std::string& program, const std::vector<std::string>& args,
                    DWORD timeoutMs = 30000);

// Quotes one argument for a command line.
std::string Quote(const std::string& argument);

// A started program that keeps running; it is ended when the object goes.
class Started {
 public:
  Started() = default;
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;
  ~Started();
  bool Start(const std::string& commandLine);
  // Waits for the program to end by itself; false on timeout.
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
  HANDLE Process() const { return m_info.hProcess; }

 private:
  PROCESS_INFORMATION m_info = {};
};

// Calls `done` every few milliseconds, dispatching the thread's messages in
// between, until it is true or `timeoutMs` has passed; its last answer.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// The whole content of a file (shared for reading and writing), or empty.
std::string ReadWholeFile(const std::string& path);

// The lines of `text`, without line ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace kl::winetest
