#include "manifest/schema.hpp"

#include "manifest/toml_mapping.hpp"

namespace quorvane {
namespace {

using mapping::Field;
using mapping::Mapped;
using mapping::read_text;
using mapping::read_text_list;
using mapping::RecordShape;

// The field order of each shape is the record's declared order: it fixes the array form and
// which missing field is reported first.

constexpr RecordShape<RawScan, 1> kScanShape{
    "struct RawScan",
    "struct RawScan with 1 element",
    {{{"roots", false,
       [](const toml::node& v, RawScan& r) { return read_text_list(v, r.roots); }}}}};

constexpr RecordShape<RawPolicy, 1> kPolicyShape{
    "struct RawPolicy",
    "struct RawPolicy with 1 element",
    {{{"required_stages", false,
       [](const toml::node& v, RawPolicy& r) { return read_text_list(v, r.required_stages); }}}}};

constexpr RecordShape<RawRequirement, 5> kRequirementShape{
    "struct RawRequirement",
    "struct RawRequirement with 5 elements",
    {{{"id", true, [](const toml::node& v, RawRequirement& r) { return read_text(v, r.id); }},
      {"title", false,
       [](const toml::node& v, RawRequirement& r) { return read_text(v, r.title); }},
      {"type", false, [](const toml::node& v, RawRequirement& r) { return read_text(v, r.type); }},
      {"required_stages", false,
       [](const toml::node& v, RawRequirement& r) { return read_text_list(v, r.required_stages); }},
      {"priority", false,
       [](const toml::node& v, RawRequirement& r) { return read_text(v, r.priority); }}}}};

constexpr RecordShape<RawTypeDef, 1> kTypeDefShape{
    "struct RawTypeDef",
    "struct RawTypeDef with 1 element",
    {{{"description", false,
       [](const toml::node& v, RawTypeDef& r) { return read_text(v, r.description); }}}}};

constexpr RecordShape<RawStageDef, 1> kStageDefShape{
    "struct RawStageDef",
    "struct RawStageDef with 1 element",
    {{{"description", false,
       [](const toml::node& v, RawStageDef& r) { return read_text(v, r.description); }}}}};

constexpr RecordShape<RawSignoff, 3> kSignoffShape{
    "struct RawSignoff",
    "struct RawSignoff with 3 elements",
    {{{"requirement", true,
       [](const toml::node& v, RawSignoff& r) { return read_text(v, r.requirement); }},
      {"stage", true, [](const toml::node& v, RawSignoff& r) { return read_text(v, r.stage); }},
      {"url", true, [](const toml::node& v, RawSignoff& r) { return read_text(v, r.url); }}}}};

// The root table has only the table form; every key of it is optional.
constexpr RecordShape<RawManifest, 6> kManifestShape{
    "struct RawManifest",
    "struct RawManifest with 6 elements",
    {{{"scan", false,
       [](const toml::node& v, RawManifest& r) {
         return mapping::read_record(v, kScanShape, r.scan.emplace());
       }},
      {"policy", false,
       [](const toml::node& v, RawManifest& r) {
         return mapping::read_record(v, kPolicyShape, r.policy.emplace());
       }},
      {"requirements", false,
       [](const toml::node& v, RawManifest& r) {
         return mapping::read_record_list(v, kRequirementShape, r.requirements);
       }},
      {"types", false,
       [](const toml::node& v, RawManifest& r) {
         return mapping::read_record_map(v, kTypeDefShape, r.types);
       }},
      {"stages", false,
       [](const toml::node& v, RawManifest& r) {
         return mapping::read_record_map(v, kStageDefShape, r.stages);
       }},
      {"signoffs", false, [](const toml::node& v, RawManifest& r) {
         return mapping::read_record_list(v, kSignoffShape, r.signoffs);
       }}}}};

constexpr RecordShape<Req, 2> kReqShape{
    "struct Req",
    "struct Req with 2 elements",
    {{{"id", true, [](const toml::node& v, Req& r) { return read_text(v, r.id); }},
      {"title", false, [](const toml::node& v, Req& r) { return read_text(v, r.title); }}}}};

constexpr RecordShape<Raw, 1> kRawShape{"struct Raw",
                                        "struct Raw with 1 element",
                                        {{{"requirements", false, [](const toml::node& v, Raw& r) {
                                             return mapping::read_record_list(v, kReqShape,
                                                                              r.requirements);
                                           }}}}};

Mapped map_manifest(const toml::table& root, RawManifest& out) {
  return mapping::read_table_form(root, kManifestShape, out);
}

Mapped map_raw(const toml::table& root, Raw& out) {
  return mapping::read_table_form(root, kRawShape, out);
}

}  // namespace

Result<RawManifest> read_raw_manifest(std::string_view text) {
  return mapping::read_document<RawManifest>(text, &map_manifest);
}

Result<Raw> read_raw(std::string_view text) {
  return mapping::read_document<Raw>(text, &map_raw);
}

}  // namespace quorvane
