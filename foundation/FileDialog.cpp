#include "foundation/FileDialog.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>

namespace ht {
namespace {
FileDialogHandler g_handler;
FontDialogHandler g_fontHandler;
ColorDialogHandler g_colorHandler;
} // namespace

void setFileDialogHandler(FileDialogHandler handler)
{
    g_handler = std::move(handler);
}

QString chooseFile(QWidget *parent, const FileDialogRequest &request)
{
    if (g_handler)
        return g_handler(request);
    if (request.kind == FileDialogKind::Save)
        return QFileDialog::getSaveFileName(parent, request.caption, request.proposed, request.filter);
    return QFileDialog::getOpenFileName(parent, request.caption, request.proposed, request.filter);
}

void setFontDialogHandler(FontDialogHandler handler)
{
    g_fontHandler = std::move(handler);
}

void setColorDialogHandler(ColorDialogHandler handler)
{
    g_colorHandler = std::move(handler);
}

std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial)
{
    if (g_fontHandler)
        return g_fontHandler(initial);
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial)
{
    if (g_colorHandler)
        return g_colorHandler(initial);
    const QColor color = QColorDialog::getColor(initial, parent);
    return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
}

} // namespace ht
