#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "support/run_tool.h"
#include "support/temp_folder.h"

namespace orv {
namespace {

using testing::runTool;

TEST(ToolLog, WritesOneRecordAsTheComponentDoes) {
  testing::TempFolder app;
  const auto run = runTool("log --app-path '" + app.path().string() +
                           "' --app-name MyApp --number -2147467259 --description 'Unspecified error' "
                           "--module modMain --procedure 'Sub Main()' --major 2 --minor 4");
  ASSERT_EQ(run.exitCode, 0) << run.out;
  const auto files = std::filesystem::directory_iterator(app.path() / "Logs");
  const std::filesystem::path file = begin(files)->path();
  EXPECT_TRUE(std::regex_match(file.filename().string(), std::regex(R"(myapp-\d{8}\.log)")));
  const std::string record = testing::readFile(file);
  EXPECT_TRUE(
      std::regex_match(record, std::regex("\\+{41}\r\nError Description: Unspecified error\r\n"
                                          "Error Number: -2147467259\r\nModule Name: modMain\r\n"
                                          "Procedure Name: Sub Main\\(\\)\r\nVersion Number: 2\\.4\\.\r\n"
                                          "Date: \\d{1,2}/\\d{1,2}/\\d{4} \\d{1,2}:\\d{2}:\\d{2} [AP]M\r\n\r\n")))
      << record;
}

TEST(ToolLog, FailuresAreOneLineOnStandardErrorWithAnExitCode) {
  const auto missingFolder =
      runTool("log --app-path /nonexistent/folder --app-name a --number 1 --description d --module m --procedure p");
  EXPECT_EQ(missingFolder.exitCode, 1);
  EXPECT_EQ(missingFolder.out, "orvacct: application folder does not exist: /nonexistent/folder\n");

  const auto badNumber =
      runTool("log --app-path /tmp --app-name a --number 4294967296 --description d --module m --procedure p");
  EXPECT_EQ(badNumber.exitCode, 2);
  EXPECT_EQ(badNumber.out, "orvacct: --number is not a 32-bit number: '4294967296' (see 'orvacct log --help')\n");
}

TEST(ToolLog, ADayWhoseFileNameIsAFolderFails) {
  testing::TempFolder app;
  const auto run = runTool("log --app-path '" + app.path().string() +
                           "' --app-name a --number 1 --description d --module m --procedure p");
  ASSERT_EQ(run.exitCode, 0) << run.out;
  const std::filesystem::path file = begin(std::filesystem::directory_iterator(app.path() / "Logs"))->path();
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);
  const auto taken = runTool("log --app-path '" + app.path().string() +
                             "' --app-name a --number 1 --description d --module m --procedure p");
  EXPECT_EQ(taken.exitCode, 1);
  EXPECT_EQ(taken.out, "orvacct: cannot write the log record in " + app.path().string() + ": Path/File access error\n");
}

TEST(ToolLog, AnApplicationNameThatLeavesItsFolderIsRefused) {
  testing::TempFolder top;  // a name that escapes lands inside it
  const std::filesystem::path app = top.path() / "app";
  std::filesystem::create_directories(app / "Logs");
  testing::writeFile(app / "Logs" / "..-01011999.log", "old");
  for (const std::string command : {"log --number 1 --description d --module m --procedure p", "purge-logs"}) {
    for (const std::string name : {"../../x", "..\\x", "a/b", ".", ".."}) {
      const auto run = runTool(command + " --app-path '" + app.string() + "' --app-name '" + name + "'");
      EXPECT_EQ(run.exitCode, 1) << command << " " << name;
      EXPECT_TRUE(run.out.starts_with("orvacct: --app-name is a name, not a path: '" + name + "'")) << run.out;
    }
  }
  EXPECT_TRUE(std::filesystem::exists(app / "Logs" / "..-01011999.log"));
  EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(top.path()), {}), 3);
}

TEST(ToolLog, NumbersAsWindowsWritesThem) {
  // HRESULTs are written in hex or as unsigned 32 bits as often as signed.
  for (const std::string number : {"-2147467259", "0x80004005", "2147500037"}) {
    testing::TempFolder app;
    const auto run = runTool("log --app-path '" + app.path().string() + "' --app-name a --number " + number +
                             " --description d --module m --procedure p");
    ASSERT_EQ(run.exitCode, 0) << number << ": " << run.out;
    const std::string record =
        testing::readFile(begin(std::filesystem::directory_iterator(app.path() / "Logs"))->path());
    EXPECT_NE(record.find("\r\nError Number: -2147467259\r\n"), std::string::npos) << number;
  }
}

TEST(ToolLog, PurgeSaysWhatItDid) {
  testing::TempFolder app;
  std::filesystem::create_directory(app.path() / "Logs");
  testing::writeFile(app.path() / "Logs" / "myapp-01012001.log", "old");
  const auto run = runTool("purge-logs --app-path '" + app.path().string() + "' --app-name MyApp");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "deleted 1, kept 0, refused 0\n");
  EXPECT_FALSE(std::filesystem::exists(app.path() / "Logs" / "myapp-01012001.log"));
}

TEST(ToolLog, PurgeListsOnRequestAndATrialDeletesNothing) {
  testing::TempFolder app;
  const std::filesystem::path logs = app.path() / "Logs";
  std::filesystem::create_directory(logs);
  const std::string appPath = "--app-path '" + app.path().string() + "' --app-name MyApp";
  testing::writeFile(logs / "myapp-01012001.log", "old");
  testing::writeFile(logs / "myapp-01022001.log", "old, read-only");
  std::filesystem::permissions(logs / "myapp-01022001.log", std::filesystem::perms::owner_read);
  const std::string old = (logs / "myapp-01012001.log").string(), readOnly = (logs / "myapp-01022001.log").string();

  const auto trial = runTool("purge-logs --dry-run " + appPath);
  EXPECT_EQ(trial.exitCode, 0);
  EXPECT_NE(trial.out.find("would delete " + old + "\n"), std::string::npos) << trial.out;
  EXPECT_NE(trial.out.find("refused " + readOnly + "\n"), std::string::npos) << trial.out;
  EXPECT_TRUE(trial.out.ends_with("would delete 1, kept 0, refused 1\n")) << trial.out;
  EXPECT_TRUE(std::filesystem::exists(old));

  const auto verbose = runTool("purge-logs --verbose " + appPath);
  EXPECT_NE(verbose.out.find("deleted " + old + "\n"), std::string::npos) << verbose.out;
  EXPECT_TRUE(verbose.out.ends_with("deleted 1, kept 0, refused 1\n")) << verbose.out;
  EXPECT_FALSE(std::filesystem::exists(old));

  const auto typo = runTool("purge-logs --app-path '" + (app.path() / "typo").string() + "' --app-name MyApp");
  EXPECT_EQ(typo.exitCode, 1);
  EXPECT_EQ(typo.out, "orvacct: application folder does not exist: " + (app.path() / "typo").string() + "\n");
}

TEST(ToolLog, TextTheCodePageCannotCarryIsRefusedAndNothingIsWritten) {
  testing::TempFolder app;
  const auto run = runTool("log --app-path '" + app.path().string() +
                           "' --app-name a --number 1 --description '\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0' "
                           "--module m --procedure p");  // Ошибка
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(
      run.out.starts_with("orvacct: --description holds \"\xD0\x9E\" (U+041E), and code page WINDOWS-1252 "
                          "cannot represent it"))
      << run.out;
  EXPECT_FALSE(std::filesystem::exists(app.path() / "Logs"));
}

TEST(ToolHelpers, GuidDetickAndVersion) {
  const auto guid = runTool("guid");
  EXPECT_EQ(guid.exitCode, 0);
  EXPECT_TRUE(std::regex_match(guid.out, std::regex(R"(\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}\n)"))) << guid.out;
  EXPECT_EQ(runTool("detick \"O'Brien's caf\xC3\xA9\"").out, "O''Brien''s caf\xC3\xA9\n");
  // The release's version (CMake's project(VERSION)) beside the component's own, which stays 1.0.1.
  EXPECT_EQ(runTool("--version").out, "orvacct " ORVACCT_PROJECT_VERSION ", component 1.0.1\n");
}

}  // namespace
}  // namespace orv
