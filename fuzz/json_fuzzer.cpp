// Findings and a small trace built from the input bytes, written by the JSON writers and parsed
// back: every text returns as it went in (invalid UTF-8 as its U+FFFD-replaced form), members
// stand in their fixed order, and the layout is the two-space pretty form.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "manifest/stages.hpp"
#include "output/json_report.hpp"
#include "platform/utf8_check.hpp"
#include "support/text.hpp"
#include "trace/records.hpp"

namespace {

using namespace quorvane;
using Json = nlohmann::ordered_json;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

std::string text(FuzzedDataProvider& in) {
  return in.ConsumeRandomLengthString(64);
}

std::optional<std::string> maybe_text(FuzzedDataProvider& in) {
  if (!in.ConsumeBool()) return std::nullopt;
  return text(in);
}

// Keys of the document that are data (stage and type names) are distinct valid texts in every
// real trace; two invalid ones could collapse into one key once replaced.
std::string key_text(FuzzedDataProvider& in) {
  return decode_utf8_lossy(text(in));
}

std::uint64_t number(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? in.ConsumeIntegralInRange<std::uint64_t>(0, 1000)
                          : in.ConsumeIntegral<std::uint64_t>();
}

Finding make_finding(FuzzedDataProvider& in) {
  Finding finding;
  finding.code = static_cast<FindingCode>(in.ConsumeIntegralInRange<int>(0, 4));
  finding.severity = static_cast<Priority>(in.ConsumeIntegralInRange<int>(0, 2));
  finding.requirement_id = maybe_text(in);
  finding.stage = maybe_text(in);
  finding.criterion = maybe_text(in);
  finding.path = maybe_text(in);
  if (in.ConsumeBool()) finding.line = number(in);
  finding.message = text(in);
  return finding;
}

std::vector<Finding> make_findings(FuzzedDataProvider& in) {
  std::vector<Finding> findings(in.ConsumeIntegralInRange<std::size_t>(0, 4));
  for (Finding& finding : findings) finding = make_finding(in);
  return findings;
}

RequirementState make_state(FuzzedDataProvider& in, const std::vector<std::string>& stages) {
  RequirementState state;
  state.id = text(in);
  state.title = maybe_text(in);
  if (in.ConsumeBool()) state.type = key_text(in);
  const std::size_t required = in.ConsumeIntegralInRange<std::size_t>(0, 3);
  for (std::size_t i = 0; i < required; ++i) {
    state.required_stages.push_back(
        stages[in.ConsumeIntegralInRange<std::size_t>(0, stages.size() - 1)]);
  }
  for (const std::string& stage : stages) {
    StageState entry;
    const std::size_t evidence = in.ConsumeIntegralInRange<std::size_t>(0, 3);
    for (std::size_t i = 0; i < evidence; ++i) {
      if (in.ConsumeBool()) {
        entry.evidence.emplace_back(FileEvidence{text(in), number(in)});
      } else {
        entry.evidence.emplace_back(SignoffEvidence{text(in)});
      }
    }
    entry.complete = !entry.evidence.empty();
    state.stages.emplace(stage, std::move(entry));
  }
  return state;
}

TraceResult make_trace(FuzzedDataProvider& in) {
  std::vector<StageDef> custom;
  if (in.ConsumeBool()) custom.push_back(StageDef{key_text(in), std::nullopt});
  TraceResult trace;
  for (const std::string_view builtin : kBuiltinStages) trace.stages.emplace_back(builtin);
  for (const StageDef& stage : custom) {
    if (!all_stages({}).contains(stage.name)) trace.stages.push_back(stage.name);
  }
  trace.requirements.resize(in.ConsumeIntegralInRange<std::size_t>(0, 3));
  for (RequirementState& state : trace.requirements) state = make_state(in, trace.stages);
  trace.findings = make_findings(in);
  return trace;
}

// The document each writer must give, with the texts as a reader gets them back.

std::string shown(std::string_view text) {
  return decode_utf8_lossy(text);
}

Json expected_finding(const Finding& finding) {
  Json object = Json::object();
  object["code"] = std::string(finding_code_word(finding.code));
  object["severity"] = std::string(priority_word(finding.severity));
  if (finding.requirement_id) object["requirementId"] = shown(*finding.requirement_id);
  if (finding.stage) object["stage"] = shown(*finding.stage);
  if (finding.criterion) object["criterion"] = shown(*finding.criterion);
  if (finding.path) object["path"] = shown(*finding.path);
  if (finding.line) object["line"] = *finding.line;
  object["message"] = shown(finding.message);
  return object;
}

Json expected_findings(const std::vector<Finding>& findings) {
  Json array = Json::array();
  for (const Finding& finding : findings) array.push_back(expected_finding(finding));
  return array;
}

Json expected_requirement(const RequirementState& state) {
  Json object = Json::object();
  object["id"] = shown(state.id);
  if (state.title) object["title"] = shown(*state.title);
  if (state.type) object["type"] = shown(*state.type);
  object["requiredStages"] = Json::array();
  for (const std::string& stage : state.required_stages) {
    object["requiredStages"].push_back(shown(stage));
  }
  Json stages = Json::object();
  for (const auto& [name, stage] : state.stages) {
    Json evidence = Json::array();
    for (const Evidence& entry : stage.evidence) {
      Json item = Json::object();
      if (const auto* file = std::get_if<FileEvidence>(&entry)) {
        item["path"] = shown(file->path);
        item["line"] = file->line;
      } else {
        item["url"] = shown(std::get<SignoffEvidence>(entry).url);
      }
      evidence.push_back(std::move(item));
    }
    Json stage_object = Json::object();
    stage_object["complete"] = stage.complete;
    stage_object["evidence"] = std::move(evidence);
    stages[shown(name)] = std::move(stage_object);
  }
  object["stages"] = std::move(stages);
  return object;
}

bool complete(const RequirementState& state) {
  for (const std::string& stage : state.required_stages) {
    const auto it = state.stages.find(stage);
    if (it == state.stages.end() || !it->second.complete) return false;
  }
  return true;
}

Json expected_trace(const TraceResult& trace) {
  Json summary = Json::object();
  std::uint64_t complete_count = 0;
  std::map<std::string, std::uint64_t> types;
  for (const RequirementState& state : trace.requirements) {
    if (complete(state)) ++complete_count;
    if (state.type) ++types[*state.type];
  }
  summary["requirementCount"] = trace.requirements.size();
  summary["completeCount"] = complete_count;
  summary["incompleteCount"] = trace.requirements.size() - complete_count;
  summary["findingCount"] = trace.findings.size();
  if (!types.empty()) {
    Json counts = Json::object();
    for (const auto& [type, count] : types) counts[type] = count;
    summary["countsByType"] = std::move(counts);
  }
  Json requirements = Json::array();
  for (const RequirementState& state : trace.requirements) {
    requirements.push_back(expected_requirement(state));
  }
  Json document = Json::object();
  document["schemaVersion"] = 1;
  document["summary"] = std::move(summary);
  document["requirements"] = std::move(requirements);
  document["findings"] = expected_findings(trace.findings);
  return document;
}

// Inside strings only the fixed escapes; outside them only layout: "\n" breaks, no blank line,
// no space before a break, no carriage return, nothing after the closing brace.
void check_layout(const std::string& document) {
  if (document.empty() || document.front() != '{' || document.back() != '}') {
    fail("document is not framed by braces");
  }
  if (!platform::is_valid_utf8(document)) fail("document is not valid UTF-8");
  bool in_string = false;
  for (std::size_t i = 0; i < document.size(); ++i) {
    const auto c = static_cast<unsigned char>(document[i]);
    if (c < 0x20 && c != '\n') fail("a raw control character");
    if (c == '\n') {
      if (in_string) fail("a raw line feed inside a string");
      if (i > 0 && (document[i - 1] == ' ' || document[i - 1] == '\n')) {
        fail("a space at a line end, or a blank line");
      }
      continue;
    }
    if (!in_string) {
      if (c == '"') in_string = true;
      continue;
    }
    if (c == '"') {
      in_string = false;
    } else if (c == '\\') {
      const char next = i + 1 < document.size() ? document[i + 1] : '\0';
      if (std::string_view("\"\\bfnrt").find(next) != std::string_view::npos && next != '\0') {
        ++i;
        continue;
      }
      if (next != 'u' || i + 5 >= document.size()) fail("an unknown escape");
      const std::string_view hex(document.data() + i + 2, 4);
      if (!hex.starts_with("00") || hex[2] > '1' ||
          std::string_view("0123456789abcdef").find(hex[3]) == std::string_view::npos) {
        fail("a \\u escape other than 00 and two lower-case digits below 0x20");
      }
      const int value = std::stoi(std::string(hex), nullptr, 16);
      if (value == 0x08 || value == 0x09 || value == 0x0A || value == 0x0C || value == 0x0D) {
        fail("a \\u escape where a short escape is the form");
      }
      i += 5;
    }
  }
}

void check_document(const std::string& document, const Json& expected) {
  check_layout(document);
  Json parsed;
  try {
    parsed = Json::parse(document);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    fail("document does not parse");
  }
  if (parsed != expected) {
    std::fprintf(stderr, "got:\n%s\nexpected:\n%s\n", document.c_str(), expected.dump(2).c_str());
    fail("document differs from the records");
  }
  if (parsed.dump(2) != document) fail("document differs from the pretty form of its own tree");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const TraceResult trace = make_trace(in);

  StateSelection states;
  for (const RequirementState& state : trace.requirements) states.push_back(&state);
  FindingSelection findings;
  for (const Finding& finding : trace.findings) findings.push_back(&finding);
  check_document(render_trace_json(trace, states, findings), expected_trace(trace));

  const std::vector<Finding> review_findings = make_findings(in);
  const std::string prompt = in.ConsumeRemainingBytesAsString();
  Json review = Json::object();
  review["schemaVersion"] = 1;
  review["findings"] = expected_findings(review_findings);
  review["agentPrompt"] = shown(prompt);
  check_document(render_review_json(review_findings, prompt), review);
  return 0;
}
