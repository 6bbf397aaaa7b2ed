#include "split/PieceNames.h"

namespace kalvex {

namespace {

std::string folderWithSeparator(files::FileSystem& fileSystem, const std::string& folder) {
    const char separator = files::FileSystem::separator();
    if (folder.empty() || folder.back() == separator || !fileSystem.isDirectory(folder))
        return folder;
    return folder + separator;
}

} // namespace

PieceNames::PieceNames(files::FileSystem& fileSystem, const std::string& folder,
                       const std::string& name)
    : base_(folderWithSeparator(fileSystem, folder) + name) {}

std::string PieceNames::piecePath(std::int64_t number) const {
    return base_ + std::to_string(number);
}

std::string PieceNames::manifestPath() const {
    return base_ + "Main";
}

} // namespace kalvex
