// What the tool answers to a user asking it about itself: its version and each command's
// usage, on standard output with status 0, and nothing of the other commands.

#include "ChildProcess.h"

#include <gtest/gtest.h>

namespace {

struct THelpCase {
    std::vector<std::string> Arguments;
    std::string FirstLine;
    std::vector<std::string> Shown;
    std::vector<std::string> NotShown;
};

void PrintTo(const THelpCase& helpCase, std::ostream* out) {
    *out << testing::PrintToString(helpCase.Arguments);
}

class CommandLineTest : public testing::TestWithParam<THelpCase> {};

TEST_P(CommandLineTest, AnswersOnStandardOutputWithStatusZero) {
    std::vector<std::string> argv{QUORVEL_CLI};
    argv.insert(argv.end(), GetParam().Arguments.begin(), GetParam().Arguments.end());
    TProcessResult result = RunProcess(argv);
    EXPECT_EQ(result.ExitStatus, 0);
    EXPECT_EQ(result.Err, "");
    std::vector<std::string> lines = OutputLines(result.Out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), GetParam().FirstLine);
    for (const std::string& text : GetParam().Shown)
        EXPECT_NE(result.Out.find(text), std::string::npos) << text;
    for (const std::string& text : GetParam().NotShown)
        EXPECT_EQ(result.Out.find(text), std::string::npos) << text;
}

const std::string SearchSynopsis =
    "usage: quorvel-cli search [--ini FILE] [--exclude FILE] [--board BOARD] [--raw]";

INSTANTIATE_TEST_SUITE_P(
    , CommandLineTest,
    testing::Values(
        THelpCase{{"--version"}, "quorvel-cli 1.0", {}, {"usage"}},
        THelpCase{{"search", "--help"},
                  SearchSynopsis,
                  {"search  runs one search", "Exit status 2"},
                  {"quorvel-cli watch", "watch   polls", "get     fetches"}},
        THelpCase{{"search", "--ini", "program.ini", "-h"}, SearchSynopsis, {}, {"watch"}},
        THelpCase{
            {"watch", "--help"},
            "usage: quorvel-cli watch [--ini FILE] [--exclude FILE] [--board BOARD] [--raw]",
            {"[--proxy HOST:PORT]", "[--new [--state FILE]", "watch   polls", "130 on SIGINT"},
            {"quorvel-cli search", "search  runs", "get     fetches"}},
        THelpCase{
            {"get", "--help"},
            "usage: quorvel-cli get [--read-timeout MS] [--out DIR] [--proxy HOST:PORT] URL...",
            {"get     fetches", "DIR/i.body", "Printed text"},
            {"quorvel-cli search", "search  runs", "watch   polls"}},
        THelpCase{{"--help"},
                  SearchSynopsis,
                  {"quorvel-cli watch", "quorvel-cli get", "--version"},
                  {}}));

} // namespace
