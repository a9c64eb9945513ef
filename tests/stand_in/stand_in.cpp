#include "stand_in/stand_in.hpp"

#include <charconv>
#include <cstdlib>

#include "helpers/environment.hpp"
#include "platform/paths.hpp"
#include "stand_in/stand_in_system.hpp"

namespace quorvane::testing::stand_in {
namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) result.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return result;
}

bool parse_number(std::string_view text, unsigned long long& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc{} && end == text.data() + text.size() && !text.empty();
}

bool parse_hex(std::string_view text, std::string& bytes) {
  if (text.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
    if (error != std::errc{} || end != text.data() + i + 2) return false;
    bytes += static_cast<char>(value);
  }
  return true;
}

// The value after `name` when `action` is "name=value".
bool value_of(std::string_view action, std::string_view name, std::string_view& value) {
  if (!action.starts_with(name) || action.size() <= name.size() || action[name.size()] != '=') {
    return false;
  }
  value = action.substr(name.size() + 1);
  return true;
}

class Runner {
 public:
  // Carries out one action; false when it is unknown or malformed.
  bool act(std::string_view action) {
    std::string_view value;
    unsigned long long number = 0;
    std::string bytes;
    if (value_of(action, "--stdout", value)) return write_all(Stream::Out, value);
    if (value_of(action, "--stderr", value)) return write_all(Stream::Err, value);
    if (value_of(action, "--stdout-hex", value)) {
      return parse_hex(value, bytes) && write_all(Stream::Out, bytes);
    }
    if (value_of(action, "--stderr-hex", value)) {
      return parse_hex(value, bytes) && write_all(Stream::Err, bytes);
    }
    if (value_of(action, "--stdout-bytes", value)) {
      return parse_number(value, number) && write_all(Stream::Out, pattern(number));
    }
    if (value_of(action, "--stderr-bytes", value)) {
      return parse_number(value, number) && write_all(Stream::Err, pattern(number));
    }
    if (value_of(action, "--env", value)) {
      const auto found = own_variable(std::string(value));
      return write_all(Stream::Out, found ? "set:" + *found + '\0' : std::string("unset\0", 6));
    }
    if (action == "--env-all") {
      std::string listing;
      for (const std::string& entry : own_environment()) listing += entry + '\0';
      return write_all(Stream::Out, listing);
    }
    if (action == "--stdin") {
      const InputReport input = read_input();
      return write_all(Stream::Out, (input.null_device ? "null device, " : "other input, ") +
                                        std::to_string(input.bytes) + " bytes\n");
    }
    if (action == "--self") return write_all(Stream::Out, platform::path_bytes(running_program()));
    if (value_of(action, "--write-handle", value)) {
      return write_all(Stream::Out,
                       write_to_handle(std::string(value)) ? "written\n" : "not written\n");
    }
    if (value_of(action, "--exit", value)) {
      if (!parse_number(value, number)) return false;
      status_ = static_cast<int>(number);
      return true;
    }
    return false;
  }

  int status() const { return status_; }

 private:
  int status_ = 0;
};

void echo(const std::vector<std::string>& data) {
  std::string listing;
  for (const std::string& argument : data) listing += argument + '\0';
  write_all(Stream::Out, listing);
}

int unknown(std::string_view action) {
  write_all(Stream::Err, "stand_in: unknown or failed action: " + std::string(action) + "\n");
  return kUnknownActionStatus;
}

}  // namespace

int run(const std::vector<std::string>& arguments) {
  Runner runner;
  if (const auto script = own_variable(kActionsVariable)) {
    for (const std::string& action : lines(*script)) {
      if (action == "--args") {
        echo(arguments);
      } else if (!runner.act(action)) {
        return unknown(action);
      }
    }
    return runner.status();
  }
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--args") {
      echo(std::vector<std::string>(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                    arguments.end()));
      break;
    }
    if (!runner.act(arguments[i])) return unknown(arguments[i]);
  }
  return runner.status();
}

}  // namespace quorvane::testing::stand_in
