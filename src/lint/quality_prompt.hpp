#pragma once

#include <string>

#include "manifest/model.hpp"

namespace quorvane {

std::string quality_review_prompt(const Manifest& manifest);

}  // namespace quorvane
