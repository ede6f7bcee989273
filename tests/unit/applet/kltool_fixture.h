// Running kltool joystick as a user runs it, against a .reg file in a
// temporary folder of its own, and reading the file back as the applet does.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "applet_fixture.h"

namespace kl::test {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

class KltoolJoystick : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir =
        fs::temp_directory_path() /
        ("kltool-joystick-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
    m_reg = (m_dir / "system.reg").string();
  }
  void TearDown() override { fs::remove_all(m_dir); }

  void WriteReg(const std::string& body) {
    std::ofstream(m_reg, std::ios::binary) << "REGEDIT4\n\n" << body;
  }
  std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  ToolRun Kltool(const std::string& arguments) {
    const std::string errPath = (m_dir / "stderr.txt").string();
    const std::string command =
        std::string(KLTOOL_PATH) + " joystick " + arguments + " 2>" + errPath;
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadFile(errPath);
    return run;
  }

  // The file read back as the applet reads the registry.
  JoystickTable Reload() {
    SimRegistry registry;
    std::string error;
    EXPECT_TRUE(registry.LoadFile(m_reg, &error)) << error;
    SimJoystick joystick;
    FakeStrings strings;
    JoystickRegistry layer(registry, joystick, strings);
    JoystickTypeList types;
    layer.BuildJoystickTypeList(types);
    JoystickTable table;
    layer.LoadJoystickTable(types, table);
    return table;
  }

  fs::path m_dir;
  std::string m_reg;
};

}  // namespace kl::test
