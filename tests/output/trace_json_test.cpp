#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "output/json_report.hpp"
#include "trace_fixture.hpp"

namespace quorvane::testing {
namespace {

TEST(TraceJson, WritesTheWholeDocumentInFixedOrderAndLayout) {
  TraceResult trace;
  trace.stages = kBuiltinStages;
  trace.requirements = {
      with_type(with_title(make_state("REQ-A", {"doc", "impl"},
                                      {{"doc", {file_at("docs/a.md", 3), signoff("https://x/1")}},
                                       {"impl", {file_at("src/a.cpp", 10)}}}),
                           "Login works"),
                "FEAT"),
      make_state("REQ-B", {}),
      with_type(make_state("REQ-C", {"unit", "unit"}), "FEAT"),
      with_type(make_state("REQ-D", {}), "API"),
  };
  trace.findings = {
      missing_stage("REQ-C", "unit", "Requirement is missing unit test evidence", Priority::Should),
      scan_error("data/x.bin", "Permission denied (os error 13)"),
      undeclared_id("REQ-X", "src/b.cpp", 7),
  };
  const StateSelection shown{&trace.requirements[0], &trace.requirements[1]};

  const std::string expected = R"json({
  "schemaVersion": 1,
  "summary": {
    "requirementCount": 4,
    "completeCount": 3,
    "incompleteCount": 1,
    "findingCount": 3,
    "countsByType": {
      "API": 1,
      "FEAT": 2
    }
  },
  "requirements": [
    {
      "id": "REQ-A",
      "title": "Login works",
      "type": "FEAT",
      "requiredStages": [
        "doc",
        "impl"
      ],
      "stages": {
        "doc": {
          "complete": true,
          "evidence": [
            {
              "path": "docs/a.md",
              "line": 3
            },
            {
              "url": "https://x/1"
            }
          ]
        },
        "impl": {
          "complete": true,
          "evidence": [
            {
              "path": "src/a.cpp",
              "line": 10
            }
          ]
        },
        "int": {
          "complete": false,
          "evidence": []
        },
        "unit": {
          "complete": false,
          "evidence": []
        }
      }
    },
    {
      "id": "REQ-B",
      "requiredStages": [],
      "stages": {
        "doc": {
          "complete": false,
          "evidence": []
        },
        "impl": {
          "complete": false,
          "evidence": []
        },
        "int": {
          "complete": false,
          "evidence": []
        },
        "unit": {
          "complete": false,
          "evidence": []
        }
      }
    }
  ],
  "findings": [
    {
      "code": "missing_stage",
      "severity": "should",
      "requirementId": "REQ-C",
      "stage": "unit",
      "message": "Requirement is missing unit test evidence"
    },
    {
      "code": "scan_error",
      "severity": "must",
      "path": "data/x.bin",
      "message": "Permission denied (os error 13)"
    },
    {
      "code": "undeclared_id",
      "severity": "must",
      "requirementId": "REQ-X",
      "path": "src/b.cpp",
      "line": 7,
      "message": "Tag references an ID not declared in the manifest"
    }
  ]
})json";
  EXPECT_EQ(render_trace_json(trace, shown, all_findings(trace)), expected);
}

TEST(TraceJson, EmptyTraceHasNoCountsByTypeAndEmptyArrays) {
  const TraceResult trace{{}, {}, kBuiltinStages};
  EXPECT_EQ(render_trace_json(trace, {}, {}), R"json({
  "schemaVersion": 1,
  "summary": {
    "requirementCount": 0,
    "completeCount": 0,
    "incompleteCount": 0,
    "findingCount": 0
  },
  "requirements": [],
  "findings": []
})json");
}

TEST(TraceJson, CountsByTypeLooksAtTheWholeTraceNotTheSelection) {
  TraceResult trace;
  trace.stages = {"doc"};
  trace.requirements = {make_state("REQ-A", {}, {}, {"doc"}),
                        with_type(make_state("REQ-B", {}, {}, {"doc"}), "FEAT")};
  const std::string json = render_trace_json(trace, {&trace.requirements[0]}, {});
  EXPECT_NE(json.find("    \"findingCount\": 0,\n    \"countsByType\": {\n      \"FEAT\": 1\n    "
                      "}\n  },\n"),
            std::string::npos)
      << json;
}

TEST(TraceJson, EscapesExactlyTheControlCharactersQuoteAndBackslash) {
  TraceResult trace;
  trace.stages = {};
  RequirementState state = make_state("REQ-A", {}, {}, {});
  state.title = "q\" b\\ \b\t\n\f\r \x01\x1b\x1f / \x7f \u2014 \u00e9";
  // Keys are data too.
  state.type = "T\"\n";
  state.stages.emplace("st\tage", StageState{});
  trace.requirements = {state};
  const std::string json = render_trace_json(trace, all_states(trace), {});

  EXPECT_NE(json.find(R"("title": "q\" b\\ \b\t\n\f\r \u0001\u001b\u001f / )"
                      "\x7f \u2014 \u00e9\",\n"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find(R"("T\"\n": 1)"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("type": "T\"\n",)"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("st\tage": {)"), std::string::npos) << json;
}

TEST(TraceJson, InvalidUtf8IsReplacedInsteadOfThrowing) {
  TraceResult trace;
  trace.stages = {};
  trace.findings = {scan_error("bad\xff\xfename", "unreadable")};
  std::string json;
  ASSERT_NO_THROW(json = render_trace_json(trace, {}, all_findings(trace)));
  EXPECT_NE(json.find("\"path\": \"bad\uFFFD\uFFFDname\""), std::string::npos) << json;
}

TEST(TraceJson, LineNumbersAreUnsignedSixtyFourBit) {
  TraceResult trace;
  trace.stages = {};
  trace.findings = {parse_error("a.c", std::numeric_limits<std::uint64_t>::max())};
  const std::string json = render_trace_json(trace, {}, all_findings(trace));
  EXPECT_NE(json.find("\"line\": 18446744073709551615,"), std::string::npos) << json;
}

TEST(SharedJsonWriters, FillAFreshDocument) {
  const std::string document = compose_json([](auto& json) {
    json.begin_object();
    write_schema_version(json);
    write_findings_array(json, FindingSelection{});
    json.end_object();
  });
  EXPECT_EQ(document, "{\n  \"schemaVersion\": 1,\n  \"findings\": []\n}");
}

}  // namespace
}  // namespace quorvane::testing
