// The TOML parser's implementation, compiled with the fuzz instrumentation.
#define TOML_IMPLEMENTATION
#include <toml++/toml.h>
