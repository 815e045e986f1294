#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace ht {

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString caption;
    QString proposed; // folder or proposed file name
    QString filter;   // Qt filter text, e.g. "文件类型(*.dbk)"
};

// Every file choice of the program goes through here; an empty result means cancelled.
QString chooseFile(QWidget *parent, const FileDialogRequest &request);

using FileDialogHandler = std::function<QString(const FileDialogRequest &)>;
void setFileDialogHandler(FileDialogHandler handler);

} // namespace ht
