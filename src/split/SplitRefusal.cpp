#include "split/SplitRefusal.h"

#include <utility>

namespace kalvex {

SplitRefusal::SplitRefusal(std::string sourcePath, std::string reason)
    : std::runtime_error("Cannot split \"" + sourcePath + "\": " + reason),
      sourcePath_(std::move(sourcePath)), reason_(std::move(reason)) {}

} // namespace kalvex
