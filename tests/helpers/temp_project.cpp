#include "helpers/temp_project.hpp"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/paths.hpp"

namespace quorvane::testing {

void TempProject::write(const std::filesystem::path& relative, std::string_view content) const {
  const auto full = path_ / relative;
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) throw std::runtime_error("cannot write " + platform::path_bytes(full));
}

std::string TempProject::read(const std::filesystem::path& relative) const {
  const auto full = path_ / relative;
  std::ifstream in(full, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + platform::path_bytes(full));
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TempProject::mkdir(const std::filesystem::path& relative) const {
  std::filesystem::create_directories(path_ / relative);
}

ProcessResult run_quorvane(const std::filesystem::path& cwd, const std::vector<std::string>& args,
                           const std::map<std::string, std::optional<std::string>>& env) {
  std::vector<std::string> argv{QUORVANE_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  return run_process(QUORVANE_BINARY, argv, RunOptions{cwd, env});
}

ProcessResult run_quorvane(const std::vector<std::string>& args, const RunOptions& options) {
  std::vector<std::string> argv{QUORVANE_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  return run_process(QUORVANE_BINARY, argv, options);
}

}  // namespace quorvane::testing
