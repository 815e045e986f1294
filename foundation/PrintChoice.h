#pragma once

#include <functional>

class QPrinter;
class QWidget;

namespace ht {

// Every print goes through here: asks where to print, as the print dialog does; false
// when the user cancels. Tests answer instead of the dialog.
bool choosePrinter(QPrinter &printer, QWidget *parent);

using PrinterChooser = std::function<bool(QPrinter &printer, QWidget *parent)>;
void setPrinterChooser(PrinterChooser chooser);

} // namespace ht
