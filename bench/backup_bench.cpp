// Backup, validated restore, export of 100,000 selected rows, the preview of a 10,000-row
// list ready on screen, and those rows printed to PDF. Run under QT_QPA_PLATFORM=offscreen;
// a folder given as the first argument keeps the PDF and a picture of the preview there.
#include "bench/LedgerFixture.h"

#include "backup/ListTable.h"
#include "backup/XlsxExport.h"
#include "backup/printDialog.h"
#include "backup/printpreviewDialog.h"

#include "ledger/LedgerModel.h"
#include "ledger/LedgerLoad.h"

#include "foundation/DbFile.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeView>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString keep = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path();
    ht::clsADO &db = bench::openFilledStore(dir, out);
    const QString dbPath = db.dbDir();

    ht::LedgerModel model;
    ht::LedgerStore::loadInto(model, db, bench::user, 1, {});
    std::vector<ht::LedgerRow> tenThousand = ht::LedgerStore::load(db, bench::user, 1, {});
    tenThousand.resize(std::min<size_t>(tenThousand.size(), 10'000));
    db.CloseDB();
    const QString copy = dir.filePath(QStringLiteral("copy.dbk"));
    QString why;
    const double backupMs = bench::medianMs(5, [&] { why += ht::copyDatabaseFile(dbPath, copy); });
    out << "backup_ms=" << backupMs << " (" << QFileInfo(copy).size() / (1024 * 1024) << " MB)" << why << Qt::endl;
    const double restoreMs = bench::medianMs(
        5, [&] { why += ht::replaceDatabaseFile(dbPath, copy, dbPath + QStringLiteral(".bak")); });
    out << "restore_ms=" << restoreMs << why << Qt::endl;

    QTreeView view;
    view.setModel(&model);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.selectAll();
    const QString xlsx = dir.filePath(QStringLiteral("export.xlsx"));
    qsizetype exported = 0;
    const double exportMs = bench::medianMs(3, [&] {
        const ht::backup::ListTable table = ht::backup::takeList(view, true);
        exported = qsizetype(table.rows.size());
        if (ht::backup::writeXlsx(xlsx, table).kind != ht::backup::ExportOutcome::Written)
            why += QStringLiteral(" export failed");
    });
    out << "export_ms=" << exportMs << " (" << exported << " rows, " << QFileInfo(xlsx).size() / 1024 << " KB)" << why
        << Qt::endl;

    model.setRows(std::move(tenThousand));
    view.resize(800, 600);
    int pages = 0;
    const double previewMs = bench::medianMs(5, [&] {
        ht::printpreviewDialog preview(ht::backup::printoutOf(view, 1, 1, model.total()));
        preview.show();
        QCoreApplication::processEvents();
        preview.grab(); // every visible page drawn
        pages = preview.printout().pageCount();
    });
    out << "preview_ms=" << previewMs << " (" << pages << " pages)" << Qt::endl;
    {
        ht::printpreviewDialog preview(ht::backup::printoutOf(view, 1, 1, model.total()));
        preview.resize(1280, 800);
        preview.show();
        QCoreApplication::processEvents();
        preview.grab().save(QDir(keep).filePath(QStringLiteral("preview.png")));
    }

    const QString pdf = QDir(keep).filePath(QStringLiteral("print.pdf"));
    const double printMs = bench::medianMs(3, [&] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        if (ht::backup::printList(printer, ht::backup::printoutOf(view, 1, 1, model.total()))
            != ht::backup::PrintOutcome::Printed)
            why += QStringLiteral(" print failed");
    });
    out << "print_pdf_ms=" << printMs << " (" << QFileInfo(pdf).size() / 1024 << " KB)" << why << Qt::endl;
    return 0;
}
