#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <functional>
#include <optional>

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

// The font and colour choices go through here too; none means cancelled.
std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial);
std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial);

using FontDialogHandler = std::function<std::optional<QFont>(const QFont &initial)>;
using ColorDialogHandler = std::function<std::optional<QColor>(const QColor &initial)>;
void setFontDialogHandler(FontDialogHandler handler);
void setColorDialogHandler(ColorDialogHandler handler);

} // namespace ht
