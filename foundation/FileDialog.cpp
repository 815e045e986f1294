#include "foundation/FileDialog.h"

#include <QFileDialog>

namespace ht {
namespace {
FileDialogHandler g_handler;
}

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

} // namespace ht
