// Times the phases of a `check` run on the current directory, one after the other, with the
// same calls the program makes: manifest load, scan, trace, selection, the JSON report and the
// text report.
// Also prints the page faults and the peak resident set after each phase (Linux only).
//
// Built by the preset bench as build-bench/phases (see bench/README.md).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "main/selection.hpp"
#include "manifest/loader.hpp"
#include "manifest/stages.hpp"
#include "output/json_report.hpp"
#include "output/trace_text.hpp"
#include "platform/files.hpp"
#include "scan/scanner.hpp"
#include "trace/builder.hpp"

namespace {

using Clock = std::chrono::steady_clock;

void report(const char* phase, Clock::time_point& since) {
  const Clock::time_point now = Clock::now();
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  std::fprintf(stderr, "%-10s %8.3f s   faults %8ld   peak %7.1f MiB\n", phase,
               std::chrono::duration<double>(now - since).count(), usage.ru_minflt,
               static_cast<double>(usage.ru_maxrss) / 1024.0);
  since = now;
}

}  // namespace

int main() {
  using namespace quorvane;
  Clock::time_point since = Clock::now();
  const auto root = platform::current_directory();
  if (!root) return 2;
  Result<Manifest> manifest = load_manifest(root.value());
  if (!manifest) {
    std::fprintf(stderr, "%s\n", manifest.error().c_str());
    return 2;
  }
  report("manifest", since);
  TraceResult trace = [&] {
    const StageSet stages = stage_set(manifest.value());
    const ScanResult scan = scan_tree(root.value(), manifest.value().scan_roots, stages);
    report("scan", since);
    TraceResult built = build_trace(manifest.value(), scan);
    report("trace", since);
    return built;
  }();
  manifest = Failure{""};
  report("release", since);
  StateSelection states = select_type_states(trace, {});
  order_by_type_and_id(states);
  const FindingSelection findings = select_findings(trace, selected_ids(states));
  report("select", since);
  const std::string json = render_trace_json(trace, states, findings);
  report("json", since);
  const std::string text = render_trace_text(trace, states, findings);
  report("text", since);
  std::fprintf(stderr, "reports %zu and %zu bytes\n", json.size(), text.size());
  return 0;
}
