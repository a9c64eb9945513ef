#include <optional>

#include "cli/cli.hpp"
#include "main/run_context.hpp"
#include "main/runs.hpp"
#include "main/selection.hpp"
#include "platform/files.hpp"
#include "platform/output.hpp"

namespace quorvane {
namespace {

RunOutcome dispatch(const CliCommand& command, const std::filesystem::path& project_root) {
  if (const auto* lint = std::get_if<LintCommand>(&command)) return run_lint(*lint, project_root);
  // Tested before the context is built: a faulty threshold is reported in place of the
  // manifest's own trouble, and no file is scanned for it.
  std::optional<Priority> threshold;
  if (const auto* check = std::get_if<CheckCommand>(&command)) {
    const Result<Priority> parsed = parse_fail_on(check->fail_on);
    if (!parsed) return Failure{parsed.error()};
    threshold = parsed.value();
  }
  const RunContext context = build_run_context(project_root);
  if (!context) return Failure{context.error()};
  const TraceResult& trace = context.value().trace;
  if (const auto* list = std::get_if<ListCommand>(&command)) return run_list(*list, trace);
  if (const auto* one = std::get_if<TraceCommand>(&command)) return run_trace(*one, trace);
  if (const auto* check = std::get_if<CheckCommand>(&command)) {
    return run_check(*check, *threshold, trace);
  }
  return run_review(std::get<ReviewCommand>(command), project_root, trace,
                    context.value().scan_roots);
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
