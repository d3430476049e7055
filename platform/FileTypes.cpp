#include "platform/FileTypes.h"

#include <QLocale>
#include <QMimeDatabase>
#include <unordered_map>

#include "res/LoadString.h"

namespace {

struct Cache {
    QString language; // the answers are in this locale's language
    std::unordered_map<std::string, FileTypeInfo> byExtension;
};

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
        std::string format = LoadString(33110);
        info.typeName = format.replace(format.find("%s"), 2, upper);
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
    const QString language = QLocale().name();
    if (cache.language != language) {
        cache.byExtension.clear();
        cache.language = language;
    }
    const auto dot = name.rfind('.');
    std::string extension = dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
    extension = QString::fromUtf8(extension).toLower().toStdString();
    auto it = cache.byExtension.find(extension);
    if (it == cache.byExtension.end()) it = cache.byExtension.emplace(extension, lookUp(extension)).first;
    return it->second;
}
