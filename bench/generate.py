#!/usr/bin/env python3
"""Writes a seeded, deterministic synthetic project for benchmarking quorvane.

The tree mixes every file kind that quorvane reads (C-like, Python, Markdown,
CMake, YAML) with kinds it must skip (.txt, .json, Makefile, ...), and places
tags where the scanner must find them (comments, docstrings, Markdown lines)
and tag-looking text where it must not (string literals, code, skipped files).
The same seed and options always give the same bytes; the summary line ends
with a digest of the whole tree so that this can be checked.

Standard library only.
"""

import argparse
import hashlib
import json
import math
import os
import random
import re
import sys

from bench_out import MARKER, prepare_out

MB = 1024 * 1024

PRESETS = {
    # files, requirements, large files, large-file size range in bytes
    "small": dict(files=1000, requirements=1000, large=1, large_range=(2 * MB, 3 * MB)),
    "large": dict(files=100_000, requirements=50_000, large=40, large_range=(3 * MB, 8 * MB)),
}

# Selected extensions are lower-case only: grep's --include and find's -name
# are case-sensitive, the tool's extension match is not, and the comparison
# must cover the same files.
SELECTED_EXTENSIONS = [
    "rs", "c", "h", "cc", "hh", "cpp", "cxx", "c++", "hpp", "hxx", "h++",
    "js", "ts", "jsx", "mjs", "cjs", "tsx", "mts", "cts",
    "py", "md", "markdown", "cmake", "yml", "yaml",
]
SELECTED_NAMES = ["CMakeLists.txt"]

# (kind, weight by file count). A kind is an extension or a fixed file name.
KIND_WEIGHTS = [
    ("rs", 12), ("c", 7), ("h", 7), ("cpp", 9), ("hpp", 5), ("cc", 1.0), ("hh", 0.3),
    ("cxx", 0.3), ("hxx", 0.3), ("c++", 0.1), ("h++", 0.1),
    ("ts", 11), ("tsx", 2), ("js", 5), ("jsx", 1), ("mjs", 0.5), ("cjs", 0.5),
    ("mts", 0.2), ("cts", 0.2),
    ("py", 10), ("md", 6), ("markdown", 0.3),
    ("CMakeLists.txt", 2), ("cmake", 1), ("yml", 3), ("yaml", 1),
    # skipped by the tool
    ("txt", 3), ("json", 4), ("Makefile", 0.3), ("cmakelists.txt", 0.05), ("README", 0.2),
    (".gitignore", 0.2), ("toml", 0.3), ("rsx", 0.05), ("mdx", 0.05), ("trailingdot.", 0.02),
]

FAMILY = {
    "rs": "rust", "c": "c", "h": "c", "cc": "cpp", "hh": "cpp", "cpp": "cpp", "cxx": "cpp",
    "hxx": "cpp", "c++": "cpp", "h++": "cpp", "hpp": "cpp",
    "ts": "web", "tsx": "web", "js": "web", "jsx": "web", "mjs": "web", "cjs": "web",
    "mts": "web", "cts": "web",
    "py": "python", "md": "docs", "markdown": "docs",
    "CMakeLists.txt": "cbuild", "cmake": "cmake", "yml": "ci", "yaml": "ci",
    "txt": "data", "json": "data", "Makefile": "cbuild", "cmakelists.txt": "cbuild",
    "README": "docs", ".gitignore": "web", "toml": "rust", "rsx": "rust", "mdx": "docs",
    "trailingdot.": "data",
}

FAMILY_BASES = {
    "rust": ["crates"], "c": ["native"], "cpp": ["engine"], "cbuild": ["native", "engine"],
    "web": ["web/packages"], "python": ["tools", "tests/python"], "docs": ["docs"],
    "cmake": ["cmake"], "ci": [".github/workflows", "ci", "deploy"], "data": ["data", "config"],
}

# Relative size of a file of each kind (1.0 = the median of source files).
SIZE_FACTOR = {
    "h": 0.6, "hh": 0.6, "hpp": 0.7, "hxx": 0.6, "h++": 0.6, "md": 0.7, "markdown": 0.7,
    "CMakeLists.txt": 0.2, "cmake": 0.4, "yml": 0.3, "yaml": 0.3, "txt": 0.5, "json": 0.6,
    "Makefile": 0.2, "cmakelists.txt": 0.2, "README": 0.3, ".gitignore": 0.05, "toml": 0.1,
    "rsx": 0.3, "mdx": 0.3, "trailingdot.": 0.1,
}
MEDIAN_BYTES = 6800
SIGMA = 0.9
MAX_NORMAL_BYTES = 256 * 1024

WORDS = (
    "account session token cache buffer parser record index ledger invoice order cart "
    "payment refund profile avatar upload export import schema column table query cursor "
    "stream socket packet frame codec timer clock quota limit retry backoff shard replica "
    "snapshot journal audit policy role grant scope tenant region zone cluster node edge "
    "graph route handler filter mapper reducer widget panel dialog toolbar menu theme "
    "locale message channel topic queue worker job batch report metric gauge counter span"
).split()
VERBS = (
    "validate load store flush merge split encode decode render resolve fetch sync "
    "refresh rotate expire lock unlock parse format compress verify sign publish drain"
).split()
ADJECTIVES = (
    "stale pending active expired locked cached partial empty remote local primary "
    "secondary default unknown invalid trusted"
).split()
FLAVOUR = ["naïve", "façade", "über", "café", "日本語", "déjà vu", "Größe", "coöperate"]
HOSTS = ["api.example.com", "cdn.example.org", "auth.example.net", "docs.example.com"]
AREAS = (
    "AUTH LOGIN SESSION EXPORT IMPORT BILLING SEARCH NET STORE UI API CACHE AUDIT SYNC "
    "UPLOAD REPORT NOTIFY ADMIN CONFIG CRYPTO PERF I18N LOG QUEUE SCHED BACKUP GEO MEDIA "
    "CHAT PAY"
).split()
TYPES = {
    "FEATURE": "Behaviour a user can see",
    "SECURITY": "Protection of accounts and data",
    "PERFORMANCE": "Speed and resource limits",
    "COMPLIANCE": "Legal and regulatory duties",
    "USABILITY": "Ease of use and accessibility",
}
CUSTOM_STAGES = {
    "review": "Security review by a second engineer",
    "fuzz": "Covered by a fuzzing campaign",
}

# Malformed tags: each makes one parse error on its line. "{id}" is a declared id.
MALFORMED = [
    ("[impl -> {id}]", 0), ("[impl->{lid}]", 0), ("[ impl->{id}]", 0), ("[deploy->{id}]", 0),
    ("[impl->{id}->REQ-2]", 0), ("[impl->]", 0), ("[impl->REQ-]", 0), ("[impl->REQ--A]", 0),
    ("[unit->REQ-A-]", 0), ("[node->next]", 0), ("[impl->REQ-Ä1]", 0), ("[doc ->{id}]", 0),
    # a malformed token and a good tag on one line: one parse error and one tag
    ("[x->y] [impl->{id}]", 1),
]
# Bracketed text that is not tag-shaped: nothing is recorded for it.
SILENT = ["[see section 4]", "[0]", "[Impl->{id}]", "[->{id}]", "[{id}]", "[impl->{id}", "[[nodiscard]]"]

# ---------------------------------------------------------------------------
# Snippet templates. @x@ fields are filled from the word pools; @C@ is a place
# inside a comment (a tag written there is found), @D@ a place outside every
# comment (tag-looking text written there must not be found). Each template
# closes every comment and string it opens, and no line holds two @C@.

RUST = [
    r'''/// @Phrase@.
///
/// @C@
pub fn @fn@(ctx: &mut Context, @var@: u64) -> Result<u64, Error> {
    // @phrase@ @C@
    let endpoint = "https://@host@/v1/@fn@"; /* @phrase@ */
    let mut acc = 0u64;
    for i in 0..@var@ {
        acc = acc.wrapping_add(ctx.table[(i % @num@) as usize] * @num@);
    }
    if acc > @num@ {
        return Err(Error::limit("value // too large: @D@"));
    }
    Ok(acc)
}

''',
    r'''/*
 * @Phrase@.
 * @C@
 *
 * @Phrase@ (values[0], [see section @num@]).
 */
#[derive(Debug, Clone, PartialEq)]
pub struct @Type@ {
    pub @var@: u32, // @phrase@
    pub @var2@: String,
    pub label: &'static str,
}

''',
    r'''impl @Type@ {
    pub fn new(@var@: u32) -> Self {
        let label = "@D@"; // @C@
        Self { @var@, @var2@: String::from("#@word@"), label }
    }

    /* @phrase@ */ pub fn is_empty(&self) -> bool { self.@var@ == 0 } // @phrase@

    pub fn quote(&self) -> char { '"' } // @D@
}

''',
    r'''#[cfg(test)]
mod tests_@word@ {
    use super::*;

    // @C@
    #[test]
    fn @fn@_works() {
        let v = @Type@::new(@num@);
        assert_eq!(v.@var@, @num@, "expected \"@word@\" // @D@");
    }
}

''',
    r'''    let @var@ = match state {
        State::@Type@ => @num@,
        State::Idle => 0, /* @phrase@
                           * @C@
                           */ State::Busy => 1, // @phrase@
        _ => unreachable!("@D@"),
    };
''',
]

C_SRC = [
    r'''/*
 * @Phrase@.
 * @C@
 */
static int @fn@(struct @ctype@ *ctx, size_t @var@)
{
    const char *url = "http://@host@/@word@"; /* @phrase@ */
    size_t i;
    int acc = 0;

    for (i = 0; i < @var@; i++) {
        acc += ctx->table[i % @num@]; // @phrase@
    }
    if (acc < 0) {
        log_msg("overflow in @fn@ // @D@");
        return -1;
    }
    return acc; /* @C@ */
}

''',
    r'''/* @Phrase@. */
int @fn@_count(const char *s)
{
    int n = 0;
    while (*s) {
        if (*s == '"') n++; // @D@
        s++;
    }
    /* @phrase@ */ return n; /* @phrase@ */ // @C@
}

''',
    r'''static const char *const @var@_names[] = {
    "@word@", "@word2@", /* @phrase@ */
    "a \"quoted\" // @D@",
    "/* not a comment */",
};
// @Phrase@ @C@

''',
]

C_HDR = [
    r'''/** @Phrase@. @C@ */
struct @ctype@ {
    int table[@num@]; /* @phrase@ */
    const char *name;
};

int @fn@(struct @ctype@ *ctx, size_t n); // @C@
#define @GUARD@_LABEL "@D@"

''',
    r'''/*
 * @Phrase@.
 * @C@
 */
typedef int (*@fn@_cb)(void *user, int code); /* @phrase@ */
extern const char *@fn@_url; // @phrase@

''',
]

CPP = [
    r'''namespace @word@ {

// @Phrase@.
// @C@
class @Type@ final {
public:
    explicit @Type@(std::size_t @var@) : @var@_(@var@) {}

    /* @phrase@ */
    [[nodiscard]] std::size_t size() const noexcept { return @var@_; }

    std::string describe() const {
        return std::string("@word@ // ") + "@D@"; // @phrase@
    }

private:
    std::size_t @var@_ = @num@; // @C@
};

}  // namespace @word@

''',
    r'''/*
 * @Phrase@
 * @C@
 * @phrase@: values[0], [see section @num@]
 */
template <typename T>
auto @fn@(const std::vector<T>& items) -> std::optional<T>
{
    if (items.empty()) return std::nullopt; // @phrase@
    auto best = items.front(); /* @phrase@ */ auto url = "https://@host@/x";
    for (const auto& item : items) {
        if (item > best) best = item; // @C@
    }
    return best;
}

''',
    r'''TEST(@Type@Test, @fn@)  // @C@
{
    EXPECT_EQ(@fn@({@num@, @num2@}), @num2@) << "got \"@word@\" // @D@";
    EXPECT_TRUE(R"(raw string)" != nullptr); /* @phrase@ */
}

''',
]

WEB = [
    r'''/**
 * @Phrase@.
 * @C@
 */
export async function @fn@(@var@: number, opts: Options = {}): Promise<number> {
  const sep = "//"; /* @phrase@ */
  let total = 0;
  for (let i = 0; i < @var@; i++) {
    total += opts.weights?.[i % @num@] ?? 1; // @C@
  }
  if (total > @num@) throw new Error("@D@");
  return total;
}

''',
    r'''// @Phrase@. @C@
export class @Type@ {
  private readonly @var@ = new Map<string, number>(); // @phrase@
  label = '@D@';

  /* @phrase@ */ get size(): number { return this.@var@.size; }

  url(): string {
    return "https://@host@/" + encodeURIComponent(this.label); // @phrase@
  }
}

''',
    r'''describe("@fn@", () => {
  // @C@
  it("@phrase@", () => {
    expect(@fn@(@num@)).toBe(@num@); /* @phrase@ */
    expect(String(x)).toContain("// @D@");
  });
});

''',
    r'''const @var@ = {
  name: "@word@", // @phrase@
  pattern: /[a-z]+/g,
  /*
   * @Phrase@.
   * @C@
   */
  retries: @num@,
};

''',
]

PYTHON = [
    r'''def @fn@(@var@, *, limit=@num@):
    """@Phrase@.

    @C@
    The value is clamped to ``limit``; see values[0] and # not a comment here.
    """
    url = "https://@host@/#@word@"  # @phrase@
    label = "@D@"
    total = 0
    for i in range(@var@):
        total += i * @num@  # @C@
    return min(total, limit)

''',
    r"""class @Type@:
    '''@Phrase@.

    @C@
    """ + '"""still inside the single-quoted docstring"""' + r"""
    '''

    colour = "#@hex@"  # @phrase@

    def __init__(self, @var@):
        self.@var@ = @var@  # @C@
        self.text = """ + '"""@phrase@ @C@"""' + r"""
        self.pattern = r"\[(\w+)->(REQ-[A-Z0-9-]+)\]"

""",
    r'''def test_@fn@():
    # @C@
    assert @fn@(@num@) == @num@, "@D@"
    values = ['@word@', "@word2@"]  # @phrase@
    assert values[0] != "#@word@"

''',
    r'''@var@ = {
    "@word@": @num@,
    "@word2@": "@D@",
}  # @Phrase@
''',
]

DOCS = [
    r'''## @Phrase@

@Phrase@. @C@

- [ ] @phrase@
- [x] @phrase@ ([details](https://@host@/@word@))

''',
    r'''```rust
// @C@
let @var@ = @num@;
```

@Phrase@, see [the guide](../@word@.md).

''',
    r'''| column | meaning |
|---|---|
| `@var@` | @phrase@ @C@ |
| `@var2@` | @phrase@ |

> @Phrase@.

''',
]

CMAKE = [
    r'''# @Phrase@. @C@
add_library(@word@ STATIC
    src/@fn@.c   # @phrase@
    src/@word2@.c
)
target_compile_definitions(@word@ PRIVATE TAG="@D@")
message(STATUS "Configuring @word@ [see section @num@]")

''',
    r'''if(NOT TARGET @word@::@word2@)  # @C@
  find_package(@Type@ REQUIRED)
endif()
set(@GUARD@_URL "https://@host@/@word@")

''',
]

CI = [
    r'''# @Phrase@
@word@:
  name: "@word@ #@num@"   # @C@
  colour: "#@hex@"
  description: "@D@"
  steps:
    - run: make @word@  # @phrase@
''',
    r'''  @word2@:
    runs-on: ubuntu-latest   # @C@
    env:
      URL: https://@host@/@word@
      NOTE: '@D@'
''',
]

# Files the tool skips: everything in them is a decoy.
DATA_TXT = ["@Phrase@. @D@\n", "- @phrase@ @D@\n", "@phrase@\n\n"]
DATA_JSON = ['  {"id": @num@, "name": "@word@", "tag": "@D@"},\n', '  {"note": "// @D@"},\n']
MAKEFILE = ["# @Phrase@ @D@\n@word@:\n\t$(CC) -o $@ @fn@.c  # @D@\n\n"]
IGNORE = ["/build\n*.o\n# @D@\n"]

TEMPLATES = {
    "rs": RUST, "c": C_SRC, "cc": CPP, "cpp": CPP, "cxx": CPP, "c++": CPP,
    "h": C_HDR, "hh": C_HDR, "hpp": CPP, "hxx": C_HDR, "h++": C_HDR,
    "ts": WEB, "tsx": WEB, "js": WEB, "jsx": WEB, "mjs": WEB, "cjs": WEB, "mts": WEB, "cts": WEB,
    "py": PYTHON, "md": DOCS, "markdown": DOCS, "mdx": DOCS,
    "CMakeLists.txt": CMAKE, "cmake": CMAKE, "yml": CI, "yaml": CI,
    "txt": DATA_TXT, "json": DATA_JSON, "Makefile": MAKEFILE, "cmakelists.txt": CMAKE,
    "README": DATA_TXT, ".gitignore": IGNORE, "toml": DATA_TXT, "rsx": RUST,
    "trailingdot.": DATA_TXT,
}

STAGE_WEIGHTS = {
    "code": [("impl", 8), ("doc", 1), ("unit", 1), ("review", 0.5), ("fuzz", 0.3), ("int", 0.3)],
    "test": [("unit", 6), ("int", 3), ("impl", 1)],
    "docs": [("doc", 8), ("review", 1), ("impl", 0.5)],
    "build": [("int", 4), ("impl", 2)],
}

FIELD = re.compile(r"@([A-Za-z0-9]+)@")


def is_selected(name):
    if name in SELECTED_NAMES:
        return True
    dot = name.rfind(".")
    if dot <= 0:
        return False
    return name[dot + 1:] in SELECTED_EXTENSIONS


def kind_of(name):
    for kind, _ in KIND_WEIGHTS:
        if name == kind:
            return kind
    for kind, _ in KIND_WEIGHTS:
        if name.endswith("." + kind):
            return kind
    return None


class Tally:
    def __init__(self):
        self.declared = 0  # tags naming declared requirements
        self.undeclared = 0  # well-formed tags naming ids not in the manifest
        self.parse_errors = 0  # lines holding a malformed tag
        self.silent = 0  # bracketed non-tags inside comments
        self.decoys_selected = 0  # tag-looking text outside comments of selected files
        self.decoys_skipped = 0  # tag-looking text in files the tool skips
        self.unreadable = 0  # selected files that are not valid UTF-8


class Words:
    """Random names and phrases for the templates."""

    def __init__(self, rng):
        self.rng = rng

    def pick(self, field):
        r = self.rng
        if field in ("fn",):
            return f"{r.choice(VERBS)}_{r.choice(WORDS)}"
        if field in ("var", "var2"):
            return f"{r.choice(WORDS)}_{r.choice(WORDS)}"
        if field in ("word", "word2"):
            return r.choice(WORDS)
        if field in ("Type",):
            return r.choice(WORDS).capitalize() + r.choice(WORDS).capitalize()
        if field == "ctype":
            return f"{r.choice(WORDS)}_{r.choice(WORDS)}_ctx"
        if field == "GUARD":
            return f"{r.choice(WORDS)}_{r.choice(WORDS)}".upper()
        if field in ("num", "num2"):
            return str(r.randrange(2, 4096))
        if field == "hex":
            return "%06x" % r.randrange(1 << 24)
        if field == "host":
            return r.choice(HOSTS)
        if field == "phrase":
            return self.phrase(2, 6)
        if field == "Phrase":
            p = self.phrase(5, 11)
            return p[0].upper() + p[1:]
        raise KeyError(field)

    def phrase(self, lo, hi):
        r = self.rng
        n = r.randint(lo, hi)
        words = []
        for _ in range(n):
            x = r.random()
            if x < 0.03:
                words.append(r.choice(FLAVOUR))
            elif x < 0.25:
                words.append(r.choice(VERBS))
            elif x < 0.35:
                words.append(r.choice(ADJECTIVES))
            else:
                words.append(r.choice(WORDS))
        return " ".join(words)


def build_pool(rng, templates, variants):
    """Fills each template's word fields `variants` times; keeps the slots."""
    words = Words(rng)
    pool = []
    for template in templates:
        for line in template.split("\n"):
            assert line.count("@C@") <= 1, line
        for _ in range(variants):
            chosen = {}  # one name per field within a snippet, so code stays consistent

            def value(m):
                field = m.group(1)
                if field in ("C", "D"):
                    return m.group(0)
                if field not in chosen or field in ("phrase", "Phrase"):
                    chosen[field] = words.pick(field)
                return chosen[field]

            filled = FIELD.sub(value, template)
            parts = re.split(r"@([CD])@", filled)
            pool.append((parts[0::2], parts[1::2]))
    return pool


class Project:
    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.tally = Tally()
        self.words = Words(self.rng)
        self.pools = {}
        self.files_written = 0
        self.bytes_written = 0
        self.selected_files = 0
        self.selected_bytes = 0
        self.largest_selected = (0, "")
        self.kinds = {}
        self.digests = []
        self.max_depth = 0

    # -- requirements -------------------------------------------------------

    def make_requirements(self, count):
        rng = self.rng
        per_area = max(1, math.ceil(count / len(AREAS)))
        ids = []
        for i in range(count):
            area = AREAS[i // per_area % len(AREAS)]
            ids.append(f"REQ-{area}-{i % per_area + 1:05d}")
        self.declared_ids = ids
        self.undeclared_ids = [f"REQ-LEGACY-{n:05d}" for n in range(1, 200)] + [
            f"REQ-{a}-{per_area + n:05d}" for a in AREAS[:5] for n in range(1, 40)
        ]
        self.requirements = []
        for rid in ids:
            req = {"id": rid}
            x = rng.random()
            if x < 0.98:
                title = f"{rng.choice(['Users can', 'The system shall', 'Admins can', 'The service must'])} " \
                        f"{rng.choice(VERBS)} the {rng.choice(ADJECTIVES)} {rng.choice(WORDS)}"
                y = rng.random()
                if y < 0.05:
                    title += f" and {rng.choice(VERBS)} the {rng.choice(WORDS)}"
                elif y < 0.07:
                    title += " (TBD)"
                elif y < 0.09:
                    title += f", {rng.choice(WORDS)}, etc."
                elif y < 0.12:
                    title += " " + self.words.phrase(8, 20)
                req["title"] = title
            if rng.random() < 0.6:
                req["type"] = rng.choice(list(TYPES))
            y = rng.random()
            if y < 0.17:
                req["priority"] = "should"
            elif y < 0.25:
                req["priority"] = "could"
            elif y < 0.30:
                req["priority"] = "must"
            y = rng.random()
            if y < 0.05:
                req["required_stages"] = ["doc", "impl", "unit", "int"]
            elif y < 0.09:
                req["required_stages"] = ["impl", "unit", "review"]
            elif y < 0.11:
                req["required_stages"] = ["doc", "impl", "fuzz"]
            elif y < 0.12:
                req["required_stages"] = []
            if rng.random() < 0.1:
                req["owner"] = f"team-{rng.choice(WORDS)}"  # a key the schema ignores
            self.requirements.append(req)
        self.signoffs = []
        for _ in range(max(2, count // 40)):
            self.signoffs.append({
                "requirement": rng.choice(ids),
                "stage": rng.choice(["int", "review", "doc", "fuzz"]),
                "url": f"https://reviews.example.com/r/{rng.randrange(10000, 99999)}",
            })

    def manifest_text(self, roots):
        out = ["# Synthetic manifest written by bench/generate.py.\n\n"]
        out.append("[meta]\nowner = \"bench\"  # a table the schema ignores\n\n")
        out.append("[scan]\nroots = [" + ", ".join(json.dumps(r) for r in roots) + "]\n\n")
        out.append('[policy]\nrequired_stages = ["doc", "impl", "unit"]\n\n')
        for name, desc in TYPES.items():
            out.append(f"[types.{name}]\ndescription = {json.dumps(desc)}\n\n")
        for name, desc in CUSTOM_STAGES.items():
            out.append(f"[stages.{name}]\ndescription = {json.dumps(desc)}\n\n")
        for req in self.requirements:
            out.append("[[requirements]]\n")
            for key in ("id", "title", "type", "priority", "owner"):
                if key in req:
                    out.append(f"{key} = {json.dumps(req[key], ensure_ascii=False)}\n")
            if "required_stages" in req:
                out.append("required_stages = [" + ", ".join(json.dumps(s) for s in req["required_stages"]) + "]\n")
            out.append("\n")
        for so in self.signoffs:
            out.append("[[signoffs]]\n")
            for key in ("requirement", "stage", "url"):
                out.append(f"{key} = {json.dumps(so[key])}\n")
            out.append("\n")
        return "".join(out)

    # -- slots --------------------------------------------------------------

    def tag_text(self, stage, declared=True):
        rid = self.rng.choice(self.declared_ids if declared else self.undeclared_ids)
        return f"[{stage}->{rid}]", rid

    def fill_comment(self, p_tag, stages):
        rng = self.rng
        if rng.random() >= p_tag:
            return self.words.phrase(1, 5)
        t = self.tally
        x = rng.random()
        stage = rng.choices(stages[0], stages[1])[0]
        if x < 0.78:
            tag, rid = self.tag_text(stage)
            t.declared += 1
            y = rng.random()
            if y < 0.05:
                return f"{tag}{tag}"  # the same pair twice on a line counts once
            if y < 0.10:
                other = "unit" if stage != "unit" else "impl"
                t.declared += 1
                return f"{tag} [{other}->{rid}]"
            return f"{self.words.phrase(0, 3)} {tag}".lstrip()
        if x < 0.86:
            t.undeclared += 1
            return self.tag_text(stage, declared=False)[0]
        if x < 0.95:
            form, tags = rng.choice(MALFORMED)
            t.parse_errors += 1
            t.declared += tags
            rid = rng.choice(self.declared_ids)
            return form.format(id=rid, lid=rid.lower())
        t.silent += 1
        return rng.choice(SILENT).format(id=rng.choice(self.declared_ids))

    def fill_decoy(self, selected):
        rng = self.rng
        if rng.random() >= 0.04:
            return self.words.phrase(1, 4)
        if selected:
            self.tally.decoys_selected += 1
        else:
            self.tally.decoys_skipped += 1
        return self.tag_text(rng.choice(["impl", "unit", "doc"]))[0]

    def snippet(self, kind, p_tag, stages, selected):
        pool = self.pools.get(kind)
        if pool is None:
            pool = self.pools[kind] = build_pool(self.rng, TEMPLATES[kind], 40)
        texts, slots = self.rng.choice(pool)
        out = [texts[0]]
        for slot, text in zip(slots, texts[1:]):
            if slot == "C" and selected:
                out.append(self.fill_comment(p_tag, stages))
            else:
                out.append(self.fill_decoy(selected))
            out.append(text)
        return "".join(out)

    # -- files --------------------------------------------------------------

    def content(self, kind, size, p_tag, stages, selected):
        chunks, total = [], 0
        if kind == "json":
            chunks.append("[\n")
        while total < size:
            s = self.snippet(kind, p_tag, stages, selected)
            chunks.append(s)
            total += len(s)
        if kind == "json":
            chunks.append('  {"end": true}\n]\n')
        return "".join(chunks)

    def write(self, rel, text=None, data=None):
        path = os.path.join(self.args.out, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if data is None:
            data = text.encode("utf-8")
        with open(path, "wb") as f:
            f.write(data)
        self.files_written += 1
        self.bytes_written += len(data)
        self.digests.append((rel, hashlib.sha256(data).hexdigest()))
        name = os.path.basename(rel)
        self.max_depth = max(self.max_depth, rel.count("/"))
        if is_selected(name):
            self.selected_files += 1
            self.selected_bytes += len(data)
            if len(data) > self.largest_selected[0]:
                self.largest_selected = (len(data), rel)
        k = kind_of(name) or "other"
        self.kinds[k] = self.kinds.get(k, 0) + 1

    def finish_text(self, text):
        """Line-ending and encoding variety seen in real trees."""
        rng = self.rng
        x = rng.random()
        if x < 0.05:
            text = text.replace("\n", "\r\n")
        elif x < 0.08:
            text = text.rstrip("\n")
        elif x < 0.09:
            text = "\ufeff" + text
        return text

    def stage_profile(self, rel, kind):
        if "test" in rel:
            profile = STAGE_WEIGHTS["test"]
        elif FAMILY.get(kind) == "docs":
            profile = STAGE_WEIGHTS["docs"]
        elif FAMILY.get(kind) in ("cbuild", "cmake", "ci"):
            profile = STAGE_WEIGHTS["build"]
        else:
            profile = STAGE_WEIGHTS["code"]
        return [s for s, _ in profile], [w for _, w in profile]

    def tag_rate(self):
        """Most files carry a few tags, many carry none."""
        rng = self.rng
        if rng.random() < 0.4:
            return 0.0
        return rng.uniform(0.03, 0.3)

    def normal_file(self, rel, kind):
        rng = self.rng
        size = min(MAX_NORMAL_BYTES, int(rng.lognormvariate(math.log(MEDIAN_BYTES), SIGMA) * SIZE_FACTOR.get(kind, 1.0)))
        size = max(size, 120)
        selected = is_selected(os.path.basename(rel))
        text = self.content(kind, size, self.tag_rate(), self.stage_profile(rel, kind), selected)
        self.write(rel, self.finish_text(text))

    def large_file(self, index, size):
        kinds = ["c", "js-min", "md", "py", "ts", "json"]
        kind = kinds[index % len(kinds)]
        stages = self.stage_profile("", "c")
        if kind == "js-min":
            rel = f"web/dist/bundle{index:02d}.min.js"
            self.write(rel, self.minified(size))
            return
        rel = {
            "c": f"third_party/amalgamation{index:02d}/sqlish{index:02d}.c",
            "md": f"docs/reference/full-reference{index:02d}.md",
            "py": f"tools/generated/tables{index:02d}.py",
            "ts": f"web/packages/generated/src/api{index:02d}.ts",
            "json": f"data/dumps/dump{index:02d}.json",
        }[kind]
        selected = kind != "json"
        self.write(rel, self.content(kind, size, 0.01, stages, selected))

    def minified(self, size):
        """A bundle with very long lines: a license block, then code only."""
        rng = self.rng
        head = ["/*!\n", " * bundle built by the synthetic generator\n"]
        for _ in range(4):
            head.append(f" * {self.fill_comment(0.5, self.stage_profile('', 'js'))}\n")
        head.append(" */\n")
        pieces = []
        for _ in range(200):
            w = self.words
            pieces.append(
                f'function {w.pick("fn")}(a,b){{var u="https://{w.pick("host")}/{w.pick("word")}";'
                f'return a*{w.pick("num")}+b["{w.pick("word")}"]}}'
            )
            pieces.append(f'var {w.pick("var")}={{k:"{w.pick("word")}",n:{w.pick("num")}}};')
        out, total = ["".join(head)], 0
        while total < size:
            line, n = [], 0
            width = rng.randrange(20_000, 120_000)
            while n < width:
                if rng.random() < 0.01:
                    p = f'var s="{self.fill_decoy(True)}";'
                else:
                    p = rng.choice(pieces)
                line.append(p)
                n += len(p)
            line.append("\n")
            out.append("".join(line))
            total += n + 1
        return "".join(out)

    def unreadable_file(self, rel):
        # Latin-1 bytes: the tool must report the file, grep and cat read it anyway.
        data = "/* Caf\xe9 cr\xe8me [impl->REQ-LEGACY-00001] */\nint legacy(void) { return 0; }\n".encode("latin-1")
        self.tally.unreadable += 1
        self.write(rel, data=data)

    # -- tree ---------------------------------------------------------------

    def new_dir(self, family):
        rng = self.rng
        base = rng.choice(FAMILY_BASES[family])
        depth = rng.randint(1, 4)
        parts = [base]
        if family == "rust":
            parts += [rng.choice(WORDS) + "-" + rng.choice(WORDS), rng.choice(["src", "src", "tests", "benches"])]
            depth -= 1
        elif family in ("c", "cpp", "cbuild"):
            parts += [rng.choice(WORDS), rng.choice(["src", "src", "include", "test"])]
            depth -= 1
        elif family == "web":
            parts += [rng.choice(WORDS), rng.choice(["src", "src", "test"])]
            depth -= 1
        for _ in range(max(0, depth)):
            parts.append(rng.choice(WORDS))
        return "/".join(parts)

    def file_name(self, kind):
        rng = self.rng
        if kind in ("CMakeLists.txt", "Makefile", "cmakelists.txt", "README", ".gitignore"):
            return kind
        if kind == "trailingdot.":
            return f"{rng.choice(WORDS)}_notes."
        stem = f"{rng.choice(WORDS)}_{rng.choice(VERBS)}"
        return f"{stem}.{kind}"

    def generate(self):
        args = self.args
        rng = self.rng
        self.make_requirements(args.requirements)
        self.write("quorvane.toml", self.manifest_text(["."]))

        large_count = min(args.large, max(0, args.files // 10))
        deep_chains = max(2, args.files // 20000)
        unreadable = max(1, args.files // 20000)
        symlinks = 2
        normal = max(0, args.files - 1 - large_count - deep_chains * 3 - unreadable)

        for i in range(large_count):
            self.large_file(i, rng.randrange(*args.large_range))

        for c in range(deep_chains):
            depth = rng.randint(20, 28)
            parts = ["src", "generated", f"deep{c}"] + [f"level{d:02d}" for d in range(1, depth - 2)]
            for kind, at in (("rs", depth - 3), ("py", depth - 3), ("md", depth // 2)):
                d = "/".join(parts[:at + 3])
                self.normal_file(f"{d}/{self.file_name(kind)}", kind)

        for i in range(unreadable):
            self.unreadable_file(f"native/legacy/src/latin1_{i}.c")

        kinds = [k for k, _ in KIND_WEIGHTS]
        weights = [w for _, w in KIND_WEIGHTS]
        dirs = {}  # family -> list of dirs
        taken = set()
        for n in range(normal):
            # every kind at least once, however small the tree
            kind = kinds[n] if n < len(kinds) else rng.choices(kinds, weights)[0]
            family = FAMILY[kind]
            pool = dirs.setdefault(family, [])
            while True:
                if not pool or rng.random() < 1 / 12:
                    pool.append(self.new_dir(family))
                    d = pool[-1]
                else:
                    d = rng.choice(pool)
                rel = f"{d}/{self.file_name(kind)}"
                if rel not in taken:
                    break
                pool.append(self.new_dir(family))
            taken.add(rel)
            self.normal_file(rel, kind)

        # Links are never followed: not by the tool, grep -r or find.
        os.makedirs(os.path.join(args.out, "docs"), exist_ok=True)
        os.makedirs(os.path.join(args.out, "src"), exist_ok=True)
        for rel, target in (("src/docs-link", "../docs"), ("src/manifest-link.md", "../quorvane.toml"))[:symlinks]:
            os.symlink(target, os.path.join(args.out, rel))
            self.digests.append((rel, "link:" + target))


def human(n):
    for unit in ("B", "KB", "MB", "GB"):
        if n < 1024 or unit == "GB":
            return f"{n:.1f} {unit}" if unit != "B" else f"{n} B"
        n /= 1024


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--size", choices=sorted(PRESETS), default="small", help="preset (default small)")
    ap.add_argument("--seed", type=int, default=1, help="random seed (default 1)")
    ap.add_argument("--files", type=int, help="number of files (overrides the preset)")
    ap.add_argument("--requirements", type=int, help="number of requirements (overrides the preset)")
    ap.add_argument("--out", help="output directory (default /tmp/quorvane-bench-SIZE); must lie outside any git tree")
    ap.add_argument("--manifest-only", action="store_true",
                    help="write only quorvane.toml, with scan.roots = [] (times the manifest load alone)")
    args = ap.parse_args()

    preset = PRESETS[args.size]
    if args.files is None:
        args.files = preset["files"]
        args.large = preset["large"]
    else:
        args.large = max(1, args.files // 2500)
    args.large_range = preset["large_range"]
    if args.requirements is None:
        args.requirements = preset["requirements"] if args.files == preset["files"] else max(1, args.files // 2)
    if args.out is None:
        args.out = f"/tmp/quorvane-bench-{args.size}" + ("-manifest" if args.manifest_only else "")
    if args.files < 1 or args.requirements < 1:
        sys.exit("generate.py: --files and --requirements must be at least 1")

    prepare_out(args.out, "generate.py")
    project = Project(args)
    if args.manifest_only:
        project.make_requirements(args.requirements)
        project.write("quorvane.toml", project.manifest_text([]))
    else:
        project.generate()

    whole = hashlib.sha256()
    for rel, digest in sorted(project.digests):
        whole.update(f"{rel}\0{digest}\n".encode("utf-8"))
    t = project.tally
    summary = {
        "seed": args.seed,
        "files": project.files_written,
        "bytes": project.bytes_written,
        "selected_files": project.selected_files,
        "selected_bytes": project.selected_bytes,
        "largest_selected_bytes": project.largest_selected[0],
        "largest_selected_path": project.largest_selected[1],
        "max_depth": project.max_depth,
        "requirements": args.requirements,
        "signoffs": len(project.signoffs),
        "tags_declared": t.declared,
        "tags_undeclared": t.undeclared,
        "parse_error_lines": t.parse_errors,
        "silent_brackets": t.silent,
        "decoys_selected": t.decoys_selected,
        "decoys_skipped": t.decoys_skipped,
        "unreadable_files": t.unreadable,
        "kinds": dict(sorted(project.kinds.items())),
        "sha256": whole.hexdigest(),
    }
    with open(os.path.join(args.out, MARKER), "w") as f:
        json.dump(summary, f, indent=2)
        f.write("\n")
    print(
        f"{args.out}: {project.files_written} files ({project.selected_files} selected), "
        f"{human(project.bytes_written)} ({human(project.selected_bytes)} selected, largest {human(project.largest_selected[0])}), "
        f"{args.requirements} requirements; tags written: {t.declared + t.undeclared} to find "
        f"({t.undeclared} undeclared), {t.parse_errors} malformed lines, "
        f"{t.decoys_selected + t.decoys_skipped} decoys not to find; sha256 {whole.hexdigest()[:16]}"
    )


if __name__ == "__main__":
    main()
