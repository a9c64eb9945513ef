#pragma once

#include <string>
#include <utility>
#include <variant>

namespace quorvane {

// A finished message text, composed where a failure was found and carried unchanged to main.
struct Failure {
  std::string message;
};

// Either a value or a failure message: errors travel as values, never as exceptions.
template <class T>
class Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }

  const std::string& error() const { return std::get<1>(state_).message; }
  Failure take_failure() && { return std::get<1>(std::move(state_)); }

 private:
  std::variant<T, Failure> state_;
};

// For operations that succeed with nothing to return.
struct Ok {};
using Status = Result<Ok>;

}  // namespace quorvane
