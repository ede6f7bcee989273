// kltool joystick against .reg files: what it prints, what it writes back,
// and how it refuses bad input without touching the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "kltool_fixture.h"

namespace kl::test {
namespace {

const std::string kPadType = OemType("VPAD", kPadName, 0x20, 12, "");

TEST_F(KltoolJoystick, ShowPrintsTypesAndAllSixteenRecordsAsJson) {
  WriteReg("[" + kSettings + "]\n\"Joystick2Configuration\"=" +
           Hex(ConfigBytes({{0, 0x20},
                            {4, 12},
                            {8, 6},
                            {12, 100},
                            {36, 65000},
                            {60, 32768},
                            {88, 18000},
                            {100, 1},
                            {104, 15}})) +
           "\n\"Joystick2OEMName\"=\"VPAD\"\n" + OemType("VPAD", kPadName, 0x20, 12, "vp.vxd"));
  const ToolRun run = Kltool("show --json --registry " + m_reg + " --answering 1:10");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(
      run.out.rfind("{\"types\":[{\"key\":\"\",\"name\":\"None\",\"callout\":\"\",\"flags\":0,"
                    "\"buttons\":0},{\"key\":\"predef1\",",
                    0),
      0u)
      << run.out;
  EXPECT_NE(run.out.find("{\"key\":\"VPAD\",\"name\":\"Vornatek GamePad\",\"callout\":\"vp.vxd\","
                         "\"flags\":32,\"buttons\":12}]"),
            std::string::npos);
  EXPECT_NE(
      run.out.find("{\"id\":2,\"present\":true,\"status\":0,\"key\":\"VPAD\",\"name\":"
                   "\"Vornatek GamePad\",\"callout\":\"vp.vxd\",\"padButtons\":10,\"config\":{"
                   "\"flags\":32,\"buttons\":12,\"usage\":6,\"min\":[100,0,0,0,0,0],\"max\":["
                   "65000,0,0,0,0,0],\"center\":[32768,0,0,0,0,0],\"pov\":[0,18000,0,0],"
                   "\"calFlags\":1,\"type\":15}}"),
      std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("{\"id\":16,\"present\":false,"), std::string::npos);
  EXPECT_EQ(run.out.back(), '\n');
}

TEST_F(KltoolJoystick, ShowReportsUnansweringDevicesAndLeavesTheFileAlone) {
  WriteReg("[" + kSettings +
           "]\n\"Joystick1Configuration\"=" + Hex(ConfigBytes({{4, 4}, {8, 2}, {104, 3}})) + "\n");
  const std::string before = ReadFile(m_reg);
  const ToolRun run = Kltool("show --json --registry " + m_reg);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("{\"id\":1,\"present\":true,\"status\":1,\"key\":\"predef3\",\"name\":"
                         "\"2-axis, 4-button joystick\""),
            std::string::npos)
      << run.out;
  EXPECT_EQ(ReadFile(m_reg), before);
}

TEST_F(KltoolJoystick, AutodetectWritesThePadsBack) {
  WriteReg("[" + kSettings + "]\n" + kPadType);
  const ToolRun run = Kltool("autodetect --registry " + m_reg + " --answering 0,1");
  ASSERT_EQ(run.status, 0) << run.err;
  const JoystickTable table = Reload();
  for (uint32_t id : {1u, 2u}) {
    EXPECT_EQ(table.At(id).oemKey, "VPAD") << id;
    EXPECT_EQ(table.At(id).displayName, kPadName);
    EXPECT_EQ(table.At(id).config.dwType, 15u);
  }
  EXPECT_EQ(table.At(3).present, 0);
}

TEST_F(KltoolJoystick, SetAndRemoveActAsTheTypeDialogAndTheRemoval) {
  WriteReg("[" + kSettings + "]\n" + kPadType);
  ASSERT_EQ(Kltool("set 5 12 --registry " + m_reg).status, 0);
  ASSERT_EQ(Kltool("set 6 1 --flags 0x80001 --buttons 6 --registry " + m_reg).status, 0);
  JoystickTable table = Reload();
  EXPECT_EQ(table.At(5).oemKey, "VPAD");
  EXPECT_EQ(table.At(5).config.dwUsageSettings, 6u);
  EXPECT_EQ(table.At(5).config.dwType, 12u);
  EXPECT_EQ(table.At(6).config.hws.dwFlags, 0x80001u);
  EXPECT_EQ(table.At(6).config.hws.dwNumButtons, 6u);
  EXPECT_EQ(table.At(6).config.dwType, 1u);

  ASSERT_EQ(Kltool("remove 5 --registry " + m_reg).status, 0);
  table = Reload();
  EXPECT_EQ(table.At(5).present, 0);
  EXPECT_EQ(table.At(5).oemKey, "");
  EXPECT_EQ(table.At(6).present, 1);
}

TEST_F(KltoolJoystick, BadInputIsAUserErrorAndTheFileStaysAsItWas) {
  WriteReg("[" + kSettings + "]\n" + kPadType);
  const std::string before = ReadFile(m_reg);
  const std::string reg = " --registry " + m_reg;
  const std::string cases[] = {
      "",
      "frob" + reg,
      "show extra" + reg,
      "set 0 2" + reg,
      "set 17 2" + reg,
      "set 1 13" + reg,
      "set 1 two" + reg,
      "set 1 2 --buttons 99999999999" + reg,
      "set 1" + reg,
      "remove 1x" + reg,
      "autodetect --answering 16" + reg,
      "autodetect --answering 0,,1" + reg,
      "autodetect --answering 0:40" + reg,
      "show --registry",
      "show --registry " + (m_dir / "missing.reg").string(),
      "set 1 2",  // natively there is nothing to write without a file
  };
  for (const std::string& arguments : cases) {
    SCOPED_TRACE(arguments);
    const ToolRun run = Kltool(arguments);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("kltool: ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    EXPECT_EQ(ReadFile(m_reg), before);
  }
}

TEST_F(KltoolJoystick, ARegistryWithoutADriverKeyIsNotWrittenAndSaysSo) {
  WriteReg("[" + kJoyKey + "]\n" + kPadType);
  const std::string before = ReadFile(m_reg);
  for (const char* arguments : {"autodetect --answering 0", "set 1 2", "remove 3"}) {
    SCOPED_TRACE(arguments);
    const ToolRun run = Kltool(std::string(arguments) + " --registry " + m_reg);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("driver key"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(m_reg), before);
  }
}

TEST_F(KltoolJoystick, MalformedRegistryFilesAreRefused) {
  const std::string cases[] = {
      "not a registry export\n",
      "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\X]\n\"v\"=hex:zz\n",
      std::string("\xff\xfe", 2),
  };
  for (const std::string& text : cases) {
    std::ofstream(m_reg, std::ios::binary) << text;
    const ToolRun run = Kltool("show --registry " + m_reg);
    EXPECT_EQ(run.status, 1) << text;
    EXPECT_EQ(ReadFile(m_reg), text);
  }
}

}  // namespace
}  // namespace kl::test
