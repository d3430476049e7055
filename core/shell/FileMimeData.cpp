#include "core/shell/FileMimeData.h"

#include <QUrl>

QByteArray FileUri(const std::string& path) {
    return "file://" + QUrl::toPercentEncoding(QByteArray::fromStdString(path), "/");
}

QString PathsText(const std::vector<std::string>& paths) {
    QStringList lines;
    for (const std::string& p : paths)
        lines << QString::fromStdString(p);
    return lines.join(QLatin1Char('\n'));
}

std::unique_ptr<QMimeData> FileMimeData(const std::vector<std::string>& paths,
                                        FileTransfer transfer) {
    QByteArray uriList, gnome(transfer == FileTransfer::Cut ? "cut" : "copy");
    for (const std::string& p : paths) {
        const QByteArray uri = FileUri(p);
        uriList += uri + "\r\n";
        gnome += '\n' + uri;
    }
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/uri-list"), uriList);
    if (transfer != FileTransfer::Drag) {
        data->setData(QStringLiteral("x-special/gnome-copied-files"), gnome);
        data->setData(QStringLiteral("application/x-kde-cutselection"),
                      transfer == FileTransfer::Cut ? "1" : "0");
    }
    data->setText(PathsText(paths));
    return data;
}
