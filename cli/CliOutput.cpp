#include "cli/CliOutput.h"

#include <QJsonDocument>
#include <cstdio>

void CliOutput::line(const std::string& text) {
    if (!json_) std::printf("%s\n", text.c_str());
}

void CliOutput::object(const QJsonObject& o) {
    if (json_) std::printf("%s\n", QJsonDocument(o).toJson(QJsonDocument::Compact).constData());
}

void CliOutput::putName(QJsonObject& o, const QString& key, const std::string& bytes) {
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    o.insert(key, text);
    if (text.toUtf8().toStdString() != bytes)
        o.insert(key + QStringLiteral("_hex"), QString::fromLatin1(QByteArray::fromStdString(bytes).toHex()));
}
