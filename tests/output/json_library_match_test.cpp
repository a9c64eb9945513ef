#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "manifest/priority.hpp"
#include "output/json_report.hpp"
#include "output/library_json.hpp"

namespace quorvane {
namespace {

// The documents as the JSON library lays them out: objects built member by member and dumped
// with a two-space indentation, non-ASCII unescaped and invalid UTF-8 replaced. The writers must
// give these bytes exactly.

Json library_finding(const Finding& f) {
  Json object = json_object(8);
  append_member(object, "code", finding_code_word(f.code));
  append_member(object, "severity", priority_word(f.severity));
  if (f.requirement_id) append_member(object, "requirementId", *f.requirement_id);
  if (f.stage) append_member(object, "stage", *f.stage);
  if (f.criterion) append_member(object, "criterion", *f.criterion);
  if (f.path) append_member(object, "path", *f.path);
  if (f.line) append_member(object, "line", std::uint64_t{*f.line});
  append_member(object, "message", f.message);
  return object;
}

Json library_requirement(const RequirementState& state) {
  Json object = json_object(5);
  append_member(object, "id", state.id);
  if (state.title) append_member(object, "title", *state.title);
  if (state.type) append_member(object, "type", *state.type);
  Json required = Json::array();
  for (const std::string& stage : state.required_stages) required.push_back(stage);
  append_member(object, "requiredStages", std::move(required));
  Json stages = json_object(state.stages.size());
  for (const auto& [name, stage] : state.stages) {
    Json evidence = Json::array();
    for (const Evidence& e : stage.evidence) {
      Json entry = json_object(2);
      if (const auto* file = std::get_if<FileEvidence>(&e)) {
        append_member(entry, "path", file->path);
        append_member(entry, "line", std::uint64_t{file->line});
      } else {
        append_member(entry, "url", std::get<SignoffEvidence>(e).url);
      }
      evidence.push_back(std::move(entry));
    }
    Json stage_object = json_object(2);
    append_member(stage_object, "complete", stage.complete);
    append_member(stage_object, "evidence", std::move(evidence));
    append_member(stages, name, std::move(stage_object));
  }
  append_member(object, "stages", std::move(stages));
  return object;
}

std::string library_trace(const TraceResult& trace, const StateSelection& states,
                          const FindingSelection& findings) {
  std::uint64_t complete = 0;
  std::map<std::string, std::uint64_t> types;
  for (const RequirementState& state : trace.requirements) {
    if (is_complete(state)) ++complete;
    if (state.type) ++types[*state.type];
  }
  Json summary = json_object(5);
  append_member(summary, "requirementCount", std::uint64_t{trace.requirements.size()});
  append_member(summary, "completeCount", complete);
  append_member(summary, "incompleteCount", trace.requirements.size() - complete);
  append_member(summary, "findingCount", std::uint64_t{findings.size()});
  if (!types.empty()) {
    Json counts = json_object(types.size());
    for (const auto& [type, count] : types) append_member(counts, type, count);
    append_member(summary, "countsByType", std::move(counts));
  }
  Json requirements = Json::array();
  for (const RequirementState* state : states) requirements.push_back(library_requirement(*state));
  Json finding_list = Json::array();
  for (const Finding* f : findings) finding_list.push_back(library_finding(*f));
  Json document = json_object(4);
  append_member(document, "schemaVersion", std::uint64_t{1});
  append_member(document, "summary", std::move(summary));
  append_member(document, "requirements", std::move(requirements));
  append_member(document, "findings", std::move(finding_list));
  return dump_json(document);
}

// Texts from a small alphabet of the characters that matter: quotes, backslashes, every kind of
// control character, DEL, slashes, multi-byte characters and bytes that are no valid UTF-8.
std::string random_text(std::mt19937& random) {
  static const std::vector<std::string_view> pieces = {
      "a",
      "REQ-1",
      " ",
      "\"",
      "\\",
      "/",
      "\b",
      "\t",
      "\n",
      "\f",
      "\r",
      "\x01",
      "\x1b",
      "\x1f",
      "\x7f",
      "\xC3\xA9",
      "\xE2\x80\x94",
      "\xF0\x9F\x98\x80",
      "\xFF",
      "\xC3",
      "\xE2\x80",
      "\xED\xA0\x80",
      "abcdefghijklmnop",
      "0123456789",
      "",
  };
  std::string text;
  for (std::size_t n = random() % 12; n > 0; --n) text += pieces[random() % pieces.size()];
  return text;
}

std::optional<std::string> maybe(std::mt19937& random, std::string text) {
  if (random() % 2 == 0) return std::nullopt;
  return text;
}

TEST(JsonLibraryMatch, TraceReportsAreByteForByteTheLibraryLayout) {
  std::mt19937 random(4242);
  for (int round = 0; round < 400; ++round) {
    TraceResult trace;
    const std::vector<std::string> stages = {"doc", "impl", "int", "unit", "x\"y"};
    for (std::size_t n = random() % 4; n > 0; --n) {
      RequirementState state;
      state.id = random_text(random);
      state.title = maybe(random, random_text(random));
      // Type names are keys of "countsByType": valid texts, as every real trace has them.
      state.type = maybe(random, random() % 2 ? "FEAT" : "S\tX\xC3\xA9");
      for (std::size_t k = random() % 4; k > 0; --k) {
        state.required_stages.push_back(stages[random() % stages.size()]);
      }
      for (std::size_t s = random() % (stages.size() + 1); s > 0; --s) {
        StageState stage;
        for (std::size_t e = random() % 3; e > 0; --e) {
          if (random() % 3 == 0) {
            stage.evidence.push_back(SignoffEvidence{random_text(random)});
          } else {
            stage.evidence.push_back(
                FileEvidence{random_text(random), random() % 2 ? random() : ~std::uint64_t{0}});
          }
        }
        stage.complete = !stage.evidence.empty();
        state.stages.emplace(stages[s - 1], std::move(stage));
      }
      trace.requirements.push_back(std::move(state));
    }
    for (std::size_t n = random() % 4; n > 0; --n) {
      Finding f;
      f.code = static_cast<FindingCode>(random() % 5);
      f.severity = static_cast<Priority>(random() % 3);
      f.requirement_id = maybe(random, random_text(random));
      f.stage = maybe(random, random_text(random));
      f.criterion = maybe(random, random_text(random));
      f.path = maybe(random, random_text(random));
      if (random() % 2) f.line = random();
      f.message = random_text(random);
      trace.findings.push_back(std::move(f));
    }
    StateSelection states;
    for (const RequirementState& state : trace.requirements) {
      if (random() % 4 != 0) states.push_back(&state);
    }
    FindingSelection findings;
    for (const Finding& f : trace.findings) findings.push_back(&f);

    ASSERT_EQ(render_trace_json(trace, states, findings), library_trace(trace, states, findings))
        << "round " << round;
  }
}

TEST(JsonLibraryMatch, ReviewReportsAreByteForByteTheLibraryLayout) {
  std::mt19937 random(77);
  for (int round = 0; round < 200; ++round) {
    std::vector<Finding> findings(random() % 3);
    for (Finding& f : findings) {
      f.code = FindingCode::RequirementQuality;
      f.severity = static_cast<Priority>(random() % 3);
      f.requirement_id = random_text(random);
      f.criterion = maybe(random, random_text(random));
      f.message = random_text(random);
    }
    const std::string prompt = random_text(random) + "\n# Review\n" + random_text(random);
    Json finding_list = json_array(findings.size());
    for (const Finding& f : findings) finding_list.push_back(library_finding(f));
    Json document = json_object(3);
    append_member(document, "schemaVersion", std::uint64_t{1});
    append_member(document, "findings", std::move(finding_list));
    append_member(document, "agentPrompt", prompt);
    ASSERT_EQ(render_review_json(findings, prompt), dump_json(document)) << "round " << round;
  }
}

}  // namespace
}  // namespace quorvane
