#include "foundation/PrintChoice.h"

#include <QPrintDialog>
#include <QPrinter>

namespace ht {
namespace {

PrinterChooser g_chooser;

} // namespace

bool choosePrinter(QPrinter &printer, QWidget *parent)
{
    if (g_chooser)
        return g_chooser(printer, parent);
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void setPrinterChooser(PrinterChooser chooser)
{
    g_chooser = std::move(chooser);
}

} // namespace ht
