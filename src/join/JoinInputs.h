#pragma once

#include <string>

namespace kalvex {

// What a join is asked to do, as the Re-Join page hands it over. Text is UTF-8.
struct JoinInputs {
    std::string manifestPath; // the split manifest, its pieces beside it
    std::string joinFolder;   // receives the rebuilt file
};

} // namespace kalvex
