#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "manifest/schema.hpp"

namespace quorvane {
namespace {

std::string quoted(const std::string& text) {
  return "'" + text + "'";
}

std::string optional_text(const std::optional<std::string>& text) {
  return text ? quoted(*text) : "-";
}

std::string list(const std::vector<std::string>& items) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) {
    // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) about "," + a temporary at -O3.
    if (i > 0) out += ',';
    out += quoted(items[i]);
  }
  return out + "]";
}

std::string optional_list(const std::optional<std::vector<std::string>>& items) {
  return items ? list(*items) : "-";
}

// One line per record, so that an expectation shows the whole reading at a glance.
std::string summary(const RawManifest& m) {
  std::vector<std::string> parts;
  if (m.scan) parts.push_back("scan(" + optional_list(m.scan->roots) + ")");
  if (m.policy) parts.push_back("policy(" + optional_list(m.policy->required_stages) + ")");
  for (const RawRequirement& r : m.requirements) {
    parts.push_back("req(" + quoted(r.id) + "," + optional_text(r.title) + "," +
                    optional_text(r.type) + "," + optional_list(r.required_stages) + "," +
                    optional_text(r.priority) + ")");
  }
  for (const auto& [name, t] : m.types) {
    parts.push_back("type:" + name + "(" + optional_text(t.description) + ")");
  }
  for (const auto& [name, s] : m.stages) {
    parts.push_back("stage:" + name + "(" + optional_text(s.description) + ")");
  }
  for (const RawSignoff& s : m.signoffs) {
    parts.push_back("signoff(" + quoted(s.requirement) + "," + quoted(s.stage) + "," +
                    quoted(s.url) + ")");
  }
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? " " : "") + parts[i];
  return out;
}

std::string summary(const Raw& raw) {
  std::string out;
  for (const Req& r : raw.requirements) {
    if (!out.empty()) out += ' ';
    out += "req(";
    out += quoted(r.id);
    out += ',';
    out += optional_text(r.title);
    out += ')';
  }
  return out;
}

// A failure report reduced to "L:C description", its first and last lines.
std::string failure_summary(const std::string& report) {
  const std::string head = "TOML parse error at line ";
  if (report.rfind(head, 0) != 0 || report.empty() || report.back() != '\n') {
    return "malformed report: " + report;
  }
  const std::size_t comma = report.find(", column ");
  const std::size_t first_end = report.find('\n');
  const std::string line = report.substr(head.size(), comma - head.size());
  const std::string column = report.substr(comma + 9, first_end - comma - 9);
  const std::size_t last_begin = report.rfind('\n', report.size() - 2) + 1;
  return line + ":" + column + " " + report.substr(last_begin, report.size() - 1 - last_begin);
}

template <class Record>
std::string outcome(const Result<Record>& result) {
  if (!result) return failure_summary(result.error());
  std::string out = "ok ";
  out += summary(result.value());
  return out;
}

struct Case {
  std::string toml;
  std::string expected;  // "ok <summary>" or "L:C <description>"
};

TEST(FullReading, MapsDocumentsOntoRecordsOrFailsWithTheFirstMessage) {
  const std::vector<Case> cases = {
      // Absent and empty.
      {"", "ok "},
      {"requirements = []\nsignoffs = []\ntypes = {}\nstages = {}", "ok "},
      {"[scan]", "ok scan(-)"},
      {"[scan]\nroots = []", "ok scan([])"},
      {"[scan]\nroots = ['a', \"a\"]", "ok scan(['a','a'])"},
      {"[policy]\nrequired_stages = []", "ok policy([])"},
      {"[[requirements]]\nid = \"\"\ntitle = \"  \"", "ok req('','  ',-,-,-)"},
      {"[[requirements]]\nid = 'A'\ntitle = 'T'\ntype = 'F'\nrequired_stages = ['unit', "
       "'unit']\npriority = 'must'",
       "ok req('A','T','F',['unit','unit'],'must')"},
      // Other ways of writing the same structure.
      {"scan = { roots = ['a'] }", "ok scan(['a'])"},
      {"scan.roots = ['a']", "ok scan(['a'])"},
      {"requirements = [{ id = 'A' }, { id = 'B' }]", "ok req('A',-,-,-,-) req('B',-,-,-,-)"},
      {"[[requirements]]\n\"id\" = 'A'", "ok req('A',-,-,-,-)"},
      // Keys name fields by their exact bytes: these are unknown keys.
      {"Signoffs = 5\nScan = 'x'", "ok "},
      {"types.B.description = 'b'\n[types.A]", "ok type:A(-) type:B('b')"},
      // Unknown keys are skipped at every level, whatever their values.
      {"zzz = 1979-05-27\n[extra]\nx = [1, { a = 07:32:00 }]\n[scan]\nreal = true\n"
       "[policy]\nrequired = 5\n[[requirements]]\nid = 'A'\nID = 5\nweird = { deep = [1, 2.5] "
       "}\n[types.T]\nother = []\n[[signoffs]]\nrequirement = 'A'\nstage = 'doc'\nurl = 'u'\nx = "
       "{}",
       "ok scan(-) policy(-) req('A',-,-,-,-) type:T(-) signoff('A','doc','u')"},
      // Array forms.
      {"scan = [['a', 'b']]", "ok scan(['a','b'])"},
      {"scan = []", "1:8 invalid length 0, expected struct RawScan with 1 element"},
      {"policy = [[]]", "ok policy([])"},
      {"requirements = [['A', 'T', 'F', ['doc'], 'could']]", "ok req('A','T','F',['doc'],'could')"},
      {"requirements = [['A', 'T', 'F', ['doc']]]",
       "1:17 invalid length 4, expected struct RawRequirement with 5 elements"},
      {"signoffs = [['A', 'doc']]",
       "1:13 invalid length 2, expected struct RawSignoff with 3 elements"},
      {"signoffs = [['A', 'doc', 'u', 4]]", "ok signoff('A','doc','u')"},
      {"signoffs = [['A', 5]]", "1:19 invalid type: integer `5`, expected a string"},
      {"types.F = ['d']", "ok type:F('d')"},
      {"stages.s = []", "1:12 invalid length 0, expected struct RawStageDef with 1 element"},
      // Date-times in the place of a record read as a table without fields.
      {"scan = 1979-05-27", "ok scan(-)"},
      {"policy = 1979-05-27T07:32:00", "ok policy(-)"},
      {"types.F = 07:32:00", "ok type:F(-)"},
      {"requirements = [1979-05-27T07:32:00Z]", "1:17 missing field `id`"},
      {"signoffs = [07:32:00]", "1:13 missing field `requirement`"},
      // ... and in the place of a map, as an entry whose value is their text.
      {"types = 1979-05-27", "1:9 invalid type: string \"1979-05-27\", expected struct RawTypeDef"},
      {"stages = 1979-05-27 07:32:00.5-07:30",
       "1:10 invalid type: string \"1979-05-27T07:32:00.5-07:30\", expected struct RawStageDef"},
      // ... and in the place of a text or list, as a map.
      {"[[requirements]]\nid = 1979-05-27", "2:6 invalid type: map, expected a string"},
      {"scan.roots = 07:32:00", "1:14 invalid type: map, expected a sequence"},
      // Wrong types.
      {"scan = 'x'", "1:8 invalid type: string \"x\", expected struct RawScan"},
      {"policy = 3", "1:10 invalid type: integer `3`, expected struct RawPolicy"},
      {"policy.required_stages = 'doc'", "1:26 invalid type: string \"doc\", expected a sequence"},
      {"requirements = { id = 'A' }", "1:16 invalid type: map, expected a sequence"},
      {"[requirements]\nid = 'A'", "1:1 invalid type: map, expected a sequence"},
      {"types = [1]", "1:9 invalid type: sequence, expected a map"},
      {"stages = true", "1:10 invalid type: boolean `true`, expected a map"},
      {"signoffs = [1.5]", "1:13 invalid type: floating point `1.5`, expected struct RawSignoff"},
      {"[[requirements]]\nid = 'A'\nrequired_stages = ['doc', 5]",
       "3:27 invalid type: integer `5`, expected a string"},
      {"[scan]\nroots = [[]]", "2:10 invalid type: sequence, expected a string"},
      // Missing fields: the table's position, the first required key in declared order.
      {"[[requirements]]\nID = 'A'\nId = 'A'", "1:1 missing field `id`"},
      {"[[requirements]]\n\"id \" = 'A'", "1:1 missing field `id`"},
      {"x = 1\nrequirements = [{ title = 'T' }]", "2:17 missing field `id`"},
      {"[[signoffs]]\nrequirement = 'A'", "1:1 missing field `stage`"},
      {"[[signoffs]]\nurl = 'u'", "1:1 missing field `requirement`"},
      // A wrong value anywhere in a table comes before its missing key, and values fail in
      // document order (not in the order of the key names).
      {"[[requirements]]\ntitle = 5", "2:9 invalid type: integer `5`, expected a string"},
      {"[[requirements]]\ntitle = 1\npriority = 2",
       "2:9 invalid type: integer `1`, expected a string"},
      {"[scan]\nroots = 1\n[policy]\nrequired_stages = 1",
       "2:9 invalid type: integer `1`, expected a sequence"},
      {"[[requirements]]\nid = 'A'\n[[requirements]]\ntitle = 'no id'\n[[signoffs]]\nurl = 5",
       "3:1 missing field `id`"},
      {"[types.Z]\ndescription = 1\n[types.A]\ndescription = 2",
       "2:15 invalid type: integer `1`, expected a string"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(outcome(read_raw_manifest(c.toml)), c.expected) << c.toml;
  }
}

TEST(FullReading, DescribesOffendingValues) {
  const std::vector<Case> cases = {
      {"'plain'", "string \"plain\""},
      {R"('a"b\c')", R"(string "a\"b\\c")"},
      {R"("tab\there\nnew\u0001")", R"(string "tab\there\nnew\u{1}")"},
      {"\"ключ ✓\"", "string \"ключ ✓\""},
      {"-17", "integer `-17`"},
      {"2.5", "floating point `2.5`"},
      {"3.0", "floating point `3.0`"},
      {"false", "boolean `false`"},
      {"{}", "map"},
      {"07:32:00", "map"},
  };
  for (const Case& c : cases) {
    const Result<RawManifest> result = read_raw_manifest("requirements = " + c.toml);
    ASSERT_FALSE(result) << c.toml;
    EXPECT_EQ(failure_summary(result.error()),
              "1:16 invalid type: " + c.expected + ", expected a sequence");
  }
}

TEST(ReducedReading, LooksOnlyAtIdsAndTitles) {
  const std::vector<Case> cases = {
      {"", "ok "},
      {"[[requirements]]\nid = 'A'\npriority = 5\ntype = []\n[scan]\nroots = 1\n[types]\nx = 1",
       "ok req('A',-)"},
      {"[[requirements]]\nid = 'A'\ntitle = ''", "ok req('A','')"},
      {"requirements = [['A', 'T', 'F']]", "ok req('A','T')"},
      {"requirements = [['A']]", "1:17 invalid length 1, expected struct Req with 2 elements"},
      {"[[requirements]]\ntitle = 'T'", "1:1 missing field `id`"},
      {"[[requirements]]\ntitle = 5", "2:9 invalid type: integer `5`, expected a string"},
      {"requirements = [1979-05-27]", "1:17 missing field `id`"},
      {"requirements = 'A'", "1:16 invalid type: string \"A\", expected a sequence"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(outcome(read_raw(c.toml)), c.expected) << c.toml;
  }
}

TEST(Report, SyntaxErrorShowsTheLineAndAMarkerUnderTheColumn) {
  const Result<RawManifest> result = read_raw_manifest("a = 1\nb = \n");
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error(),
            "TOML parse error at line 2, column 5\n"
            "  |\n"
            "2 | b = \n"
            "  |     ^\n"
            "Error while parsing key-value pair: expected value, saw '\\n'\n");
}

TEST(Report, MappingErrorCountsColumnsInCharactersAndPadsByLineDigits) {
  const std::string text =
      "# 1\n#2\n#3\n#4\n#5\n#6\n#7\n#8\n#9\r\n"
      "requirements = [{ title = \"é\", id = 5 }]\r\n";
  const Result<RawManifest> result = read_raw_manifest(text);
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error(),
            "TOML parse error at line 10, column 37\n"
            "   |\n"
            "10 | requirements = [{ title = \"é\", id = 5 }]\n"
            "   |                                     ^\n"
            "invalid type: integer `5`, expected a string\n");
}

}  // namespace
}  // namespace quorvane
