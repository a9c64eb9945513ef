#include "scan/scanner.hpp"

#include <optional>

#include "platform/files.hpp"
#include "platform/paths.hpp"
#include "platform/scan_root.hpp"
#include "platform/walk.hpp"
#include "scan/comments.hpp"
#include "scan/record_path.hpp"
#include "scan/relevant_lines.hpp"
#include "scan/tags.hpp"
#include "support/text.hpp"

namespace quorvane {
namespace {

// What the scan keeps from file to file, so that a file that is not selected costs no
// allocation, and one that is costs none once these texts are as long as it needs.
struct FileScratch {
  std::string name;    // the file name as bytes, where the system needs a copy for it
  std::string path;    // the full path as bytes, likewise
  std::string record;  // the record path
  std::string buffer;  // the file's content
};

void scan_one_file(const RecordPaths& record_paths, const platform::WalkEntry& entry,
                   const StageSet& stages, FileScratch& scratch, ScanResult& result) {
  const platform::NativePath& path = entry.path;
  // The last component, as a view: no copy for the many files that are not selected.
  const std::string_view name = platform::file_name_bytes(path, scratch.name);
  const std::optional<std::string_view> extension = file_extension(name);
  const std::optional<CommentStyle> style = select_comment_style(name, extension.value_or(""));
  if (!style) return;  // not opened at all
  record_paths.write(platform::path_bytes(path, scratch.path), scratch.record);
  Result<std::string_view> text =
      platform::read_utf8_file(platform::open_path(entry), scratch.buffer);
  if (!text) {
    result.scan_errors.push_back(ScanError{scratch.record, text.error()});
    return;
  }
  scan_file(text.value(), *style, scratch.record, stages, result);
}

}  // namespace

void scan_file(std::string_view text, CommentStyle style, const std::string& record_path,
               const StageSet& stages, ScanResult& result) {
  CommentState state;
  std::vector<Segment> segments;
  TagScratch scratch;
  // Only the lines that can yield a record or change the state are looked at one by one.
  RelevantLines lines(text, style);
  std::string_view line;
  std::uint64_t line_number = 0;
  while (lines.next(state, line, line_number)) {
    comment_segments(line, style, state, segments);
    if (!segments.empty()) {
      recognize_line(segments, line_number, record_path, stages, scratch, result);
    }
  }
}

ScanResult scan_tree(const std::filesystem::path& root,
                     const std::vector<std::filesystem::path>& scan_roots, const StageSet& stages) {
  ScanResult result;
  std::string root_scratch;
  const RecordPaths record_paths(platform::path_bytes(root, root_scratch));
  FileScratch scratch;
  for (const std::filesystem::path& scan_root : scan_roots) {
    const platform::WalkVisitor visitor{
        [&](const platform::WalkEntry& entry) {
          // Directories are descended by the walk; links are neither read nor followed.
          if (entry.type == platform::EntryType::Other) {
            scan_one_file(record_paths, entry, stages, scratch, result);
          }
        },
        [&](const platform::WalkError& error) {
          result.scan_errors.push_back(
              ScanError{error.path ? record_path(root, *error.path)
                                   : decode_utf8_lossy(platform::path_bytes(scan_root)),
                        error.message});
        }};
    platform::walk_tree(platform::scan_root_start(root, scan_root), visitor);
  }
  return result;
}

}  // namespace quorvane
