#pragma once

#include <QString>

#include <string>
#include <string_view>

class QUrl;

namespace kalvex {

// Paths as the windows hold them and as the file layer takes them. On Linux a name is any
// bytes, not always UTF-8, and Qt's own conversions (QFile::encodeName and decodeName) lose
// those that are not for good; here each such byte is held as one code unit from U+DC80 to
// U+DCFF, which shows as a replacement character and turns back into the same byte. On
// Windows a path is UTF-16 and the file layer takes it as UTF-8.
class LocalPath {
public:
    static QString fromBytes(std::string_view bytes);
    static std::string toBytes(const QString& path);

    // The path of a file: URL, such as a drop carries, with the bytes of its name.
    static QString fromUrl(const QUrl& url);

    // The process's working folder; empty when it is gone.
    static QString currentFolder();

    // A path that Qt's own file classes read from the disk (a file dialog's answer), whose
    // bytes that are not UTF-8 became replacement characters: each part that does not exist
    // as it stands is taken back to the one entry of its folder whose name Qt reads the same.
    // Unchanged when every part exists, or one matches no entry or several.
    static QString recovered(const QString& path);
};

} // namespace kalvex
