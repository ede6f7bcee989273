#include "harness/support.h"

namespace kl::winetest {

std::string ProgramFolder() {
  char path[MAX_PATH * 2] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

std::string TempPath(const std::string& name) {
  char folder[MAX_PATH + 1] = {};
  GetTempPathA(sizeof folder, folder);
  return std::string(folder) + name;
}

std::string Quote(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
    return argument;
  }
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      quoted.append(backslashes * 2 + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

RunResult RunProgram(const std::string& commandLine, DWORD timeoutMs) {
  RunResult result;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
    return result;
  }
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION info = {};
  std::string line = commandLine;
  BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                &startup, &info);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    return result;
  }
  // Read while it runs, so that a chatty program never blocks on a full pipe.
  DWORD start = GetTickCount();
  for (;;) {
    DWORD available = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      char buffer[4096];
      DWORD got = 0;
      if (!ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) || got == 0) {
        break;
      }
      result.output.append(buffer, got);
    }
    if (WaitForSingleObject(info.hProcess, 10) == WAIT_OBJECT_0) {
      break;
    }
    if (GetTickCount() - start > timeoutMs) {
      TerminateProcess(info.hProcess, 255);
      CloseHandle(info.hThread);
      CloseHandle(info.hProcess);
      CloseHandle(readEnd);
      return result;
    }
  }
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    result.output.append(buffer, got);
  }
  GetExitCodeProcess(info.hProcess, &result.exitCode);
  result.finished = true;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  CloseHandle(readEnd);
  return result;
}

RunResult RunHelper(const std::string& program, const std::vector<std::string>& args,
                    DWORD timeoutMs) {
  std::string line = Quote(ProgramFolder() + program);
  for (const std::string& arg : args) {
    line.append(" ").append(Quote(arg));
  }
  return RunProgram(line, timeoutMs);
}

Started::~Started() {
  if (m_info.hProcess != nullptr) {
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(m_info.hProcess, 255);
      WaitForSingleObject(m_info.hProcess, 5000);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
  }
}

bool Started::Start(const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::string line = commandLine;
  return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &m_info) != FALSE;
}

bool Started::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
  if (m_info.hProcess == nullptr ||
      WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    return false;
  }
  if (exitCode != nullptr) {
    GetExitCodeProcess(m_info.hProcess, exitCode);
  }
  return true;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (done()) {
      return true;
    }
    if (GetTickCount() - start > timeoutMs) {
      return done();
    }
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

std::string ReadWholeFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return {};
  }
  std::string content;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    content.append(buffer, got);
  }
  CloseHandle(file);
  return content;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find('\n', begin);
    if (end == std::string::npos) {
      end = text.size();
    }
    std::string line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line);
    begin = end + 1;
  }
  return lines;
}

}  // namespace kl::winetest
