#include <type_traits>

#include "cli/cli.hpp"
#include "main/runs.hpp"
#include "platform/files.hpp"
#include "platform/output.hpp"

namespace quorvane {
namespace {

RunOutcome dispatch(const CliCommand& command, const std::filesystem::path& project_root) {
  if (const auto* lint = std::get_if<LintCommand>(&command)) {
    return run_lint(*lint, project_root);
  }
  RunContext context = build_run_context(project_root);
  return std::visit(
      [&](const auto& options) -> RunOutcome {
        using Options = std::decay_t<decltype(options)>;
        if constexpr (std::is_same_v<Options, ListCommand>) {
          return run_list(options, context);
        } else if constexpr (std::is_same_v<Options, TraceCommand>) {
          return run_trace(options, context);
        } else if constexpr (std::is_same_v<Options, CheckCommand>) {
          return run_check(options, context);
        } else if constexpr (std::is_same_v<Options, ReviewCommand>) {
          return run_review(options, project_root, context);
        } else {
          return Failure{"internal error: lint dispatched with a context"};
        }
      },
      command);
}

}  // namespace

int run_main(std::span<const std::string> arguments) {
  CliParse parsed = cli_parse(arguments);
  RunOutcome outcome = [&]() -> RunOutcome {
    if (const auto* exit = std::get_if<CliExit>(&parsed)) {
      // Help or version text that cannot be written fails the way a report does.
      const platform::WriteResult written = platform::write_stdout(exit->out_text);
      platform::write_stderr(exit->err_text);
      return outcome_after_output(written, exit->status);
    }
    auto cwd = platform::current_directory();
    if (!cwd) return Failure{"cannot read current directory: " + cwd.error()};
    return dispatch(std::get<Cli>(parsed).command, cwd.value());
  }();

  if (auto* failure = std::get_if<Failure>(&outcome)) {
    platform::write_stderr(failure->message + "\n");
    return 2;
  }
  return std::get<int>(outcome);
}

}  // namespace quorvane
