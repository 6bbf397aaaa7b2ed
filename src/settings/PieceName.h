#pragma once

#include <string>
#include <string_view>

namespace kalvex {

// The base name of the piece files. Names are UTF-8.
class PieceName {
public:
    // The name offered for a chosen source: its title up to the first dot, then ".split"
    // (movie.avi and movie.tar.gz give movie.split, .profile gives .split); a title
    // without a dot keeps all of it (README gives README.split).
    static std::string fromTitle(std::string_view title);

    // Whether the name ends in ".split", in any letter case.
    static bool hasSuffix(std::string_view name);

    static constexpr std::string_view Suffix = ".split";
};

} // namespace kalvex
