#include "dialogs/LocalPath.h"

#include "files/CodePage.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <filesystem>
#include <vector>

namespace kalvex {

#ifdef Q_OS_WIN

QString LocalPath::fromBytes(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

std::string LocalPath::toBytes(const QString& path) {
    return path.toStdString();
}

QString LocalPath::fromUrl(const QUrl& url) {
    return QDir::toNativeSeparators(url.toLocalFile());
}

QString LocalPath::currentFolder() {
    return QDir::toNativeSeparators(QDir::currentPath());
}

QString LocalPath::recovered(const QString& path) {
    return path;
}

#else

namespace {
// A byte that is not part of UTF-8 (0x80 to 0xFF) is held as this plus the byte: the low
// surrogates from U+DC80, which no UTF-8 decodes to.
constexpr char16_t KeptByte = 0xDC00;

void appendUtf8(std::string& bytes, QStringView text) {
    const QByteArray utf8 = text.toUtf8();
    bytes.append(utf8.constData(), std::size_t(utf8.size()));
}
} // namespace

QString LocalPath::fromBytes(std::string_view bytes) {
    QString text;
    std::size_t index = 0, decoded = 0; // bytes before decoded are in text
    const auto flush = [&] {
        text += QString::fromUtf8(bytes.data() + decoded, qsizetype(index - decoded));
    };
    while (index < bytes.size()) {
        char32_t code;
        if (files::nextCodePoint(bytes, index, code))
            continue;
        flush();
        text += QChar(char16_t(KeptByte + static_cast<unsigned char>(bytes[index])));
        decoded = ++index;
    }
    flush();
    return text;
}

std::string LocalPath::toBytes(const QString& path) {
    std::string bytes;
    qsizetype encoded = 0; // units before encoded are in bytes
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        // The low half of a pair is part of a character, never a kept byte.
        if (unit >= KeptByte + 0x80 && unit <= KeptByte + 0xFF &&
            !(i > 0 && path[i - 1].isHighSurrogate())) {
            appendUtf8(bytes, QStringView(path).mid(encoded, i - encoded));
            bytes += char(unit - KeptByte);
            encoded = i + 1;
        }
    }
    appendUtf8(bytes, QStringView(path).mid(encoded));
    return bytes;
}

QString LocalPath::fromUrl(const QUrl& url) {
    if (!url.isLocalFile() || !url.host().isEmpty())
        return url.toLocalFile();
    // Only the encoded form still has every byte of the name.
    const QByteArray path = url.path(QUrl::FullyEncoded).toLatin1();
    return fromBytes(QByteArray::fromPercentEncoding(path).toStdString());
}

QString LocalPath::currentFolder() {
    std::error_code error;
    const auto folder = std::filesystem::current_path(error);
    return error ? QString() : fromBytes(folder.native());
}

QString LocalPath::recovered(const QString& path) {
    if (!path.contains(QChar::ReplacementCharacter) || !path.startsWith(QLatin1Char('/')))
        return path;
    namespace fs = std::filesystem;
    std::string found;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const std::string folder = found.empty() ? "/" : found;
        std::string next = found + '/' + toBytes(part);
        std::error_code error;
        if (!fs::exists(fs::symlink_status(next, error))) {
            std::vector<std::string> matches;
            for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
                 entry.increment(error)) {
                const std::string name = entry->path().filename().native();
                if (QFile::decodeName(QByteArray::fromStdString(name)) == part)
                    matches.push_back(name);
            }
            if (matches.size() != 1)
                return path;
            next = found + '/' + matches[0];
        }
        found = std::move(next);
    }
    return fromBytes(found);
}

#endif

} // namespace kalvex
