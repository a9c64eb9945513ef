#include "output/json_report.hpp"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>
#include <variant>

#include "manifest/priority.hpp"
#include "output/json_object.hpp"
#include "output/json_text.hpp"
#include "platform/memory.hpp"

namespace quorvane {

namespace {

constexpr std::uint64_t kSchemaVersion = 1;

// The finding as a library value, for the member writers that fill a caller's JSON document;
// the reports themselves are written by JsonText below, to the same text.
Json finding_object(const Finding& finding) {
  Json object = json_object(8);
  append_member(object, "code", finding.code);
  append_member(object, "severity", priority_word(finding.severity));
  if (finding.requirement_id) append_member(object, "requirementId", *finding.requirement_id);
  if (finding.stage) append_member(object, "stage", *finding.stage);
  if (finding.criterion) append_member(object, "criterion", *finding.criterion);
  if (finding.path) append_member(object, "path", *finding.path);
  if (finding.line) append_member(object, "line", std::uint64_t{*finding.line});
  append_member(object, "message", finding.message);
  return object;
}

// A trace report of a large project runs to tens of MiB, all written at once.
void prefer_huge_pages(std::string& buffer) {
  platform::advise_huge_pages(buffer.data(), buffer.capacity());
}

template <class Sink>
void write_finding(JsonText<Sink>& json, const Finding& finding) {
  json.begin_object();
  json.member("code", finding.code);
  json.member("severity", priority_word(finding.severity));
  if (finding.requirement_id) json.member("requirementId", *finding.requirement_id);
  if (finding.stage) json.member("stage", *finding.stage);
  if (finding.criterion) json.member("criterion", *finding.criterion);
  if (finding.path) json.member("path", *finding.path);
  if (finding.line) json.member("line", std::uint64_t{*finding.line});
  json.member("message", finding.message);
  json.end_object();
}

template <class Sink, class Findings>
void write_findings_member(JsonText<Sink>& json, const Findings& findings) {
  json.key("findings");
  json.begin_array();
  for (const auto& finding : findings) write_finding(json, finding);
  json.end_array();
}

template <class Sink>
void write_evidence(JsonText<Sink>& json, const Evidence& evidence) {
  json.begin_object();
  if (const auto* file = std::get_if<FileEvidence>(&evidence)) {
    json.member("path", file->path);
    json.member("line", std::uint64_t{file->line});
  } else {
    json.member("url", std::get<SignoffEvidence>(evidence).url);
  }
  json.end_object();
}

template <class Sink>
void write_requirement(JsonText<Sink>& json, const RequirementState& state) {
  json.begin_object();
  json.member("id", state.id);
  if (state.title) json.member("title", *state.title);
  if (state.type) json.member("type", *state.type);
  json.key("requiredStages");
  json.begin_array();
  for (const std::string& stage : state.required_stages) json.value(stage);
  json.end_array();
  // The state's map is already in byte order of the stage names.
  json.key("stages");
  json.begin_object();
  for (const auto& [name, stage] : state.stages) {
    json.key(name);
    json.begin_object();
    json.member("complete", stage.complete);
    json.key("evidence");
    json.begin_array();
    for (const Evidence& entry : stage.evidence) write_evidence(json, entry);
    json.end_array();
    json.end_object();
  }
  json.end_object();
  json.end_object();
}

struct Summary {
  std::uint64_t total = 0;
  std::uint64_t complete = 0;
  std::map<std::string_view, std::uint64_t> counts_by_type;
};

Summary summary_of(const TraceResult& trace) {
  Summary summary;
  for (const RequirementState& state : trace.requirements) {
    if (is_complete(state)) ++summary.complete;
    if (state.type) ++summary.counts_by_type[*state.type];
  }
  summary.total = trace.requirements.size();
  return summary;
}

template <class Sink>
void write_summary(JsonText<Sink>& json, const Summary& summary, std::uint64_t finding_count) {
  json.key("summary");
  json.begin_object();
  json.member("requirementCount", summary.total);
  json.member("completeCount", summary.complete);
  json.member("incompleteCount", summary.total - summary.complete);
  json.member("findingCount", finding_count);
  if (!summary.counts_by_type.empty()) {
    json.key("countsByType");
    json.begin_object();
    for (const auto& [type, count] : summary.counts_by_type) json.member(type, count);
    json.end_object();
  }
  json.end_object();
}

// The selections hold pointers; the writers take records.
struct Dereferenced {
  const FindingSelection& findings;
  struct Iterator {
    FindingSelection::const_iterator it;
    const Finding& operator*() const { return **it; }
    Iterator& operator++() {
      ++it;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return it != other.it; }
  };
  Iterator begin() const { return {findings.begin()}; }
  Iterator end() const { return {findings.end()}; }
};

}  // namespace

// The shared writers take the caller's document, which may already hold members (or be null);
// indexing keeps them from writing a key twice.
void write_schema_version(Json& document) {
  document["schemaVersion"] = kSchemaVersion;
}

void write_findings_array(Json& document, const FindingSelection& findings) {
  Json array = json_array(findings.size());
  for (const Finding* finding : findings) array.push_back(finding_object(*finding));
  document["findings"] = std::move(array);
}

std::string dump_json(const Json& document) {
  // Texts that came from file names may hold invalid UTF-8; replacing it keeps the dump from
  // throwing. Non-ASCII stays unescaped.
  return document.dump(2, ' ', false, Json::error_handler_t::replace);
}

std::string render_trace_json(const TraceResult& trace, const StateSelection& states,
                              const FindingSelection& findings) {
  const Summary summary = summary_of(trace);
  return compose_json(
      [&](auto& json) {
        json.begin_object();
        json.member("schemaVersion", kSchemaVersion);
        write_summary(json, summary, findings.size());
        json.key("requirements");
        json.begin_array();
        for (const RequirementState* state : states) write_requirement(json, *state);
        json.end_array();
        write_findings_member(json, Dereferenced{findings});
        json.end_object();
      },
      &prefer_huge_pages);
}

std::string render_review_json(const std::vector<Finding>& findings, const std::string& prompt) {
  return compose_json([&](auto& json) {
    json.begin_object();
    json.member("schemaVersion", kSchemaVersion);
    write_findings_member(json, findings);
    json.member("agentPrompt", prompt);
    json.end_object();
  });
}

}  // namespace quorvane
