#include "cli/colour.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "cli_test_support.hpp"

namespace quorvane {
namespace {

struct ColourCase {
  const char* label;
  bool is_terminal;
  ColourEnvironment environment;
  bool coloured;
};

class ColourRule : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourRule, DecidesFromTheStreamAndTheEnvironment) {
  const ColourCase& c = GetParam();
  EXPECT_EQ(colour_enabled(c.is_terminal, c.environment), c.coloured) << c.label;
}

ColourEnvironment term(const char* value) {
  return ColourEnvironment{.term = value};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColourRule,
    ::testing::Values(
        ColourCase{"terminal", true, term("xterm-256color"), true},
        ColourCase{"pipe", false, term("xterm"), false},
        ColourCase{"dumb terminal", true, term("dumb"), false},
        ColourCase{"no TERM", true, {}, false},
        ColourCase{"no TERM under CI", true, {.ci = "true"}, true},
        ColourCase{"no TERM, CLICOLOR=1", true, {.clicolor = "1"}, true},
        ColourCase{"NO_COLOR", true, {.no_color = "1", .term = "xterm"}, false},
        ColourCase{"empty NO_COLOR", true, {.no_color = "", .term = "xterm"}, true},
        ColourCase{"CLICOLOR=0", true, {.clicolor = "0", .term = "xterm"}, false},
        ColourCase{"CLICOLOR=1 on a pipe", false, {.clicolor = "1", .term = "xterm"}, false},
        ColourCase{"forced on a pipe", false, {.clicolor_force = "1"}, true},
        ColourCase{"force beats NO_COLOR and dumb",
                   false,
                   {.clicolor = "0", .clicolor_force = "1", .no_color = "1", .term = "dumb"},
                   true},
        ColourCase{"CLICOLOR_FORCE=0 forces nothing", false, {.clicolor_force = "0"}, false},
        ColourCase{"CLICOLOR_FORCE=0 on a terminal",
                   true,
                   {.clicolor_force = "0", .term = "xterm"},
                   true}),
    [](const ::testing::TestParamInfo<ColourCase>& info) {
      std::string name;
      for (const char* p = info.param.label; *p != '\0'; ++p) {
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      }
      return name;
    });

TEST(ColouredOutput, StylesOnlyTheStreamThatIsColoured) {
  const CliExit help = std::get<CliExit>(testing::parse({"--help"}, {.out = true, .err = false}));
  EXPECT_NE(help.out_text.find("\x1b[1m\x1b[4mUsage:\x1b[0m"), std::string::npos) << help.out_text;

  const CliExit plain_error =
      std::get<CliExit>(testing::parse({"lis"}, {.out = true, .err = false}));
  EXPECT_EQ(plain_error.err_text.find('\x1b'), std::string::npos) << plain_error.err_text;

  const CliExit error = std::get<CliExit>(testing::parse({"lis"}, {.out = false, .err = true}));
  EXPECT_TRUE(error.err_text.starts_with("\x1b[1m\x1b[31merror:\x1b[0m ")) << error.err_text;
  EXPECT_NE(error.err_text.find("\x1b[32mlist\x1b[0m"), std::string::npos) << error.err_text;
}

TEST(ColouredOutput, KeepsTheHelpColumnsAligned) {
  const CliExit help = std::get<CliExit>(testing::parse({"help", "trace"}, {.out = true}));
  // "-h, --help" is followed by the same two blanks as without colour.
  EXPECT_NE(help.out_text.find("\x1b[1m--help\x1b[0m  Print help\n"), std::string::npos)
      << help.out_text;
}

// Stands in for the console: records which streams were prepared and refuses some.
struct FakeStreams {
  bool out_can_colour = true;
  bool err_can_colour = true;
  std::vector<platform::Stream> prepared;

  ColourPreparation preparation() {
    return [this](platform::Stream stream) {
      prepared.push_back(stream);
      return stream == platform::Stream::Out ? out_can_colour : err_can_colour;
    };
  }
};

CliExit parse_exit(const std::vector<std::string>& arguments, OutputColours wanted,
                   FakeStreams& streams) {
  return std::get<CliExit>(parse_arguments_for_streams(arguments, wanted, streams.preparation()));
}

TEST(ColourPreparation, OnlyTheStreamThatGetsColouredTextIsPrepared) {
  FakeStreams streams;
  const CliExit help = parse_exit({"--help"}, {.out = true, .err = true}, streams);
  EXPECT_EQ(streams.prepared, std::vector{platform::Stream::Out});
  EXPECT_NE(help.out_text.find('\x1b'), std::string::npos);

  streams.prepared.clear();
  (void)parse_exit({"lis"}, {.out = true, .err = true}, streams);
  EXPECT_EQ(streams.prepared, std::vector{platform::Stream::Err});

  streams.prepared.clear();
  (void)parse_exit({"lis"}, {.out = true, .err = false}, streams);
  EXPECT_TRUE(streams.prepared.empty());

  // A command line that leads to a run leaves the streams alone.
  streams.prepared.clear();
  const std::vector<std::string> list{"list"};
  const CliParse run =
      parse_arguments_for_streams(list, {.out = true, .err = true}, streams.preparation());
  EXPECT_TRUE(std::holds_alternative<Cli>(run));
  EXPECT_TRUE(streams.prepared.empty());
}

TEST(ColourPreparation, AStreamThatCannotShowColourGetsThePlainText) {
  FakeStreams streams{.out_can_colour = true, .err_can_colour = false, .prepared = {}};
  const CliExit error = parse_exit({"lis"}, {.out = true, .err = true}, streams);
  EXPECT_EQ(error.err_text, std::get<CliExit>(testing::parse({"lis"})).err_text);

  FakeStreams refusing_out{.out_can_colour = false, .err_can_colour = true, .prepared = {}};
  const CliExit help = parse_exit({"help", "check"}, {.out = true, .err = true}, refusing_out);
  EXPECT_EQ(help.out_text, std::get<CliExit>(testing::parse({"help", "check"})).out_text);
  EXPECT_EQ(help.status, 0);
}

}  // namespace
}  // namespace quorvane
