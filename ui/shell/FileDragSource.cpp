#include "ui/shell/FileDragSource.h"

#include <QDrag>
#include <QIcon>
#include <QMimeData>
#include <QWidget>

#include "core/shell/FileMimeData.h"
#include "platform/FileTypes.h"

Qt::DropAction FileDragSource::drag(QWidget* source, const std::vector<std::string>& paths) {
    if (paths.empty()) return Qt::IgnoreAction;
    auto* drag = new QDrag(source);
    drag->setMimeData(FileMimeData(paths, FileTransfer::Drag).release());
    const std::string& first = paths.front();
    const FileTypeInfo& type = fileTypeOf(first.substr(first.find_last_of('/') + 1));
    const QIcon icon =
        QIcon::fromTheme(QString::fromStdString(type.iconName),
                         QIcon::fromTheme(QString::fromStdString(type.genericIconName),
                                          QIcon::fromTheme(QStringLiteral("text-x-generic"))));
    if (!icon.isNull()) drag->setPixmap(icon.pixmap(32, 32));
    return drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
}
