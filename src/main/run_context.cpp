#include "main/run_context.hpp"

#include "manifest/loader.hpp"
#include "manifest/stages.hpp"
#include "scan/scanner.hpp"
#include "trace/builder.hpp"

namespace quorvane {

RunContext build_run_context(const std::filesystem::path& project_root) {
  Result<Manifest> manifest = load_manifest(project_root);
  if (!manifest) return std::move(manifest).take_failure();
  // Manifest, stage set and scan result live only until the trace is built.
  TraceResult trace = [&] {
    const StageSet stages = stage_set(manifest.value());
    const ScanResult scan = scan_tree(project_root, manifest.value().scan_roots, stages);
    return build_trace(manifest.value(), scan);
  }();
  return TracedProject{std::move(trace), std::move(manifest.value().scan_roots)};
}

}  // namespace quorvane
