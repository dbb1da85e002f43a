#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace plovex {
namespace {

CommandLine Parse(std::vector<std::string> args) { return ParseCommandLine(args); }

TEST(CommandLine, HelpAndVersionWinWhereverTheyStand) {
  EXPECT_EQ(Parse({"--help"}).mode, ProgramMode::kHelp);
  EXPECT_EQ(Parse({"-h"}).mode, ProgramMode::kHelp);
  EXPECT_EQ(Parse({"--version"}).mode, ProgramMode::kVersion);
  // Help is asked for even beside a mistake or another mode.
  EXPECT_EQ(Parse({"--bogus", "--help"}).mode, ProgramMode::kHelp);
  EXPECT_EQ(Parse({"--headless", "--help"}).mode, ProgramMode::kHelp);
  EXPECT_EQ(Parse({"--version", "--help"}).mode, ProgramMode::kHelp);
  EXPECT_EQ(Parse({"--headless", "--ticks", "3", "--version"}).mode, ProgramMode::kVersion);
  EXPECT_EQ(Parse({"-platform", "offscreen", "--version"}).mode, ProgramMode::kVersion);
}

TEST(CommandLine, HeadlessFirstLeavesItsArgumentsToTheRunner) {
  const CommandLine c = Parse({"--headless", "--ticks", "2"});
  EXPECT_EQ(c.mode, ProgramMode::kHeadless);
  EXPECT_EQ(c.headless_from, 1u);
  // Checked by the runner, not here.
  EXPECT_EQ(Parse({"--headless", "--whatever"}).mode, ProgramMode::kHeadless);
  EXPECT_EQ(Parse({"--interfaces"}).mode, ProgramMode::kInterfaces);
}

TEST(CommandLine, SettingsFileStandsAnywhereAndIsTakenOut) {
  using Args = std::vector<std::string>;
  const CommandLine window = Parse({"-platform", "offscreen", "--settings=b.reg"});
  EXPECT_EQ(window.mode, ProgramMode::kDesktop);
  EXPECT_EQ(window.settings_file, "b.reg");
  EXPECT_EQ(window.args, (Args{"-platform", "offscreen"}));
  const CommandLine headless = Parse({"--settings", "c.reg", "--headless", "--metrics", "9877"});
  EXPECT_EQ(headless.mode, ProgramMode::kHeadless);
  EXPECT_EQ(headless.settings_file, "c.reg");
  EXPECT_EQ(headless.args, (Args{"--headless", "--metrics", "9877"}));
  EXPECT_EQ(headless.headless_from, 1u);
  EXPECT_EQ(Parse({"--usage=json", "--settings", "f.reg"}).mode, ProgramMode::kUsageJson);
  // A toolkit option's value is never ours.
  for (const Args& bad : {Args{"-qwindowtitle", "--settings", "g.reg"}, Args{"--settings"},
                          Args{"--settings="}, Args{"--settings", "a", "--settings", "b"}})
    EXPECT_EQ(Parse(bad).mode, ProgramMode::kBadUsage) << bad.back();
}

TEST(CommandLine, TheWindowTakesOnlyToolkitOptions) {
  EXPECT_EQ(Parse({}).mode, ProgramMode::kDesktop);
  EXPECT_EQ(Parse({"-platform", "offscreen"}).mode, ProgramMode::kDesktop);
  EXPECT_EQ(Parse({"-display", ":1", "-reverse", "-style", "fusion"}).mode, ProgramMode::kDesktop);
  // A toolkit option's value may look like anything, even like our options.
  EXPECT_EQ(Parse({"-qwindowtitle", "--headless"}).mode, ProgramMode::kDesktop);
}

TEST(CommandLine, AnythingElseIsAUsageError) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  for (const Case& c : std::vector<Case>{
           {{"--bogus"}, "unknown option '--bogus'"},
           {{"-x"}, "unknown option '-x'"},
           {{"--ticks", "3"}, "unknown option '--ticks'"},
           {{"192.168.1.1"}, "unexpected argument '192.168.1.1'"},
           {{"-platform"}, "-platform needs a value"},
           {{"-style", "fusion", "-display"}, "-display needs a value"},
           {{"-reverse", "--headless"}, "--headless must come first"},
           {{"-"}, "unknown option '-'"},
           {{"--interfaces", "-reverse"}, "--interfaces takes no arguments"},
           {{"-reverse", "--interfaces"}, "--interfaces must come alone"},
       }) {
    const CommandLine parsed = Parse(c.args);
    EXPECT_EQ(parsed.mode, ProgramMode::kBadUsage) << c.args[0];
    EXPECT_EQ(parsed.error, c.error);
  }
}

TEST(CommandLine, UsageNamesEveryModeAndVersionIsTheRelease) {
  const std::string usage = kUsage;
  for (const char* part :
       {"usage: plovex", "--headless [--ticks N]", "--interfaces", "--help", "--version"})
    EXPECT_NE(usage.find(part), std::string::npos) << part;
  EXPECT_STREQ(kVersionText, "Plovex 1.2.1");
}

}  // namespace
}  // namespace plovex
