#include "split/SplitManifest.h"

#include "files/CodePage.h"

namespace kalvex {

std::string SplitManifest::titleBytes(std::string_view utf8Title) {
    auto inCodePage = files::toCodePage(utf8Title);
    if (inCodePage && !files::isUtf8WithHighBytes(*inCodePage))
        return std::move(*inCodePage);
    return std::string(utf8Title);
}

void SplitManifest::writeLines(files::TextOutput& output, std::int64_t pieceCount,
                               std::string_view utf8Title) {
    output.writeNumberLine(pieceCount);
    output.writeTextLine(titleBytes(utf8Title));
}

} // namespace kalvex
