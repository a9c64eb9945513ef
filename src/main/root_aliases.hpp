#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "git/changed_lines.hpp"

namespace quorvane {

// A scan root whose record paths are not the paths of the files they name: one written through
// ".." (other/../src gives other/../src/a.rs) or a link (srclink, a link to src, gives
// srclink/a.rs), where git names the file src/a.rs.
struct RootAlias {
  std::string record_prefix;  // the record path of the root itself, which its records begin with
  std::string real_path;      // the entry it leads to, relative to the project, as git names it
};

// The aliases of `scan_roots` (as written in the manifest) of the project `project`: one for each
// root whose record path differs from the path of the entry it leads to, in the order of the
// roots. A plainly written root has none, and a root that no longer resolves has none either:
// nothing was found below it.
std::vector<RootAlias> root_aliases(const std::filesystem::path& project,
                                    const std::vector<std::filesystem::path>& scan_roots);

// `changed` (keyed by git's paths) keyed by record paths instead, for the roots of `aliases`:
// below each alias's record prefix, a record path names the file that git names below its real
// path, so it gets that file's lines, and git's own entries under a record prefix go (a link
// that git tracks is a file of its own, not the file it points to). Every other entry stays;
// with no alias, `changed` comes back as it is.
ChangedLines under_record_paths(ChangedLines changed, const std::vector<RootAlias>& aliases);

}  // namespace quorvane
