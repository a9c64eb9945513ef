// Manifest text through both readings of the schema and the sign-off checks of the loader: every
// input ends in a record or in one rendered report, never in a crash, a hang or an exception.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "manifest/loader.hpp"
#include "manifest/schema.hpp"
#include "manifest/stages.hpp"
#include "platform/utf8_check.hpp"

namespace {

using namespace quorvane;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

void check_report(const std::string& message) {
  if (!message.starts_with("TOML parse error at line ")) fail("report head");
  if (!message.ends_with("\n")) fail("report ends without a line break");
  if (!platform::is_valid_utf8(message)) fail("report is not valid UTF-8");
}

// What the loader does with sign-offs once stages and requirements are read.
void validate_signoffs_of(RawManifest raw) {
  std::vector<StageDef> custom;
  for (const auto& [name, definition] : raw.stages) custom.push_back(StageDef{name, {}});
  std::vector<Requirement> requirements;
  for (const RawRequirement& entry : raw.requirements) {
    requirements.push_back(Requirement{entry.id, entry.title, entry.type, {}, Priority::Must});
  }
  const std::size_t given = raw.signoffs.size();
  Result<std::vector<Signoff>> signoffs =
      validate_signoffs(std::move(raw.signoffs), requirements, all_stages(custom));
  if (signoffs) {
    if (signoffs.value().size() != given) fail("a valid sign-off list lost entries");
  } else if (!signoffs.error().starts_with("manifest_error: signoffs[")) {
    fail("sign-off message head");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  Result<RawManifest> full = read_raw_manifest(text);
  Result<Raw> reduced = read_raw(text);
  if (!full) check_report(full.error());
  if (!reduced) check_report(reduced.error());

  // The reduced reading looks at a subset of what the full one reads, with the same rules.
  if (full) {
    if (!reduced) fail("full reading succeeded, reduced reading failed");
    const std::vector<RawRequirement>& all = full.value().requirements;
    const std::vector<Req>& some = reduced.value().requirements;
    if (all.size() != some.size()) fail("readings disagree on the number of requirements");
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (all[i].id != some[i].id || all[i].title != some[i].title) {
        fail("readings disagree on an id or title");
      }
    }
    validate_signoffs_of(std::move(full).value());
  }
  return 0;
}
