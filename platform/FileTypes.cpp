#include "platform/FileTypes.h"

#include <QLocale>
#include <QMimeDatabase>
#include <unordered_map>

#include "res/Format.h"
#include "res/LoadString.h"

namespace {

struct Cache {
    QLocale locale; // the answers are in this locale's language
    std::unordered_map<std::string, FileTypeInfo> byExtension;
};

// The extension from the last dot, lower-cased; ASCII without a detour through QString.
std::string extensionOf(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos) return std::string();
    std::string ext(name.substr(dot));
    bool ascii = true;
    for (char& c : ext) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80) ascii = false;
        else if (b >= 'A' && b <= 'Z') c = static_cast<char>(b + 32);
    }
    return ascii ? ext : QString::fromUtf8(ext).toLower().toStdString();
}

FileTypeInfo lookUp(const std::string& extension) {
    static const QMimeDatabase db;
    FileTypeInfo info;
    QMimeType mime;
    if (!extension.empty())
        mime = db.mimeTypeForFile(QStringLiteral("x") + QString::fromUtf8(extension),
                                  QMimeDatabase::MatchExtension);
    if (mime.isValid() && !mime.isDefault()) {
        info.typeName = mime.comment().toStdString();
        info.iconName = mime.iconName().toStdString();
        info.genericIconName = mime.genericIconName().toStdString();
        return info;
    }
    if (extension.size() > 1) {
        std::string upper = QString::fromUtf8(extension.substr(1)).toUpper().toStdString();
        info.typeName = FormatId(33110, {upper});
    } else {
        info.typeName = LoadString(33111);
    }
    info.iconName = "text-x-generic";
    info.genericIconName = "text-x-generic";
    return info;
}

} // namespace

const FileTypeInfo& fileTypeOf(std::string_view name) {
    static Cache cache;
    const QLocale locale;
    if (cache.locale != locale) {
        cache.byExtension.clear();
        cache.locale = locale;
    }
    const std::string extension = extensionOf(name);
    auto it = cache.byExtension.find(extension);
    if (it == cache.byExtension.end()) it = cache.byExtension.emplace(extension, lookUp(extension)).first;
    return it->second;
}
