#include "split/PieceNames.h"

#include "files/ChecksumFile.h"

#include "files/FolderPath.h"

namespace kalvex {

PieceNames::PieceNames(files::FileSystem& fileSystem, const std::string& folder,
                       const std::string& name)
    : base_(files::folderPath(fileSystem, folder) + name) {}

std::string PieceNames::piecePath(std::int64_t number) const {
    return base_ + std::to_string(number);
}

std::string PieceNames::manifestPath() const {
    return base_ + "Main";
}

std::string PieceNames::checksumPath() const {
    return base_ + std::string(files::ChecksumFile::Extension);
}

} // namespace kalvex
