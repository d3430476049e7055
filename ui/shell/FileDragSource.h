#pragma once

// Dragging listed files out to another program: the files go as file URLs, and the drop may
// copy, move or link them. Rows of files the drop moved away leave the list a little later.

#include <string>
#include <vector>

#include <Qt>

class QWidget;

class FileDragSource {
public:
    // Runs the drag from source (the list) until it ends; gives the action the drop chose.
    static Qt::DropAction drag(QWidget* source, const std::vector<std::string>& paths);
};
