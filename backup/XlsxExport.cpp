#include "backup/XlsxExport.h"

#include "foundation/Money.h"
#include "foundation/SystemError.h"

#include <QFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace ht::backup {
namespace {

constexpr qsizetype progressEvery = 2000;
constexpr double widestColumn = 255; // the spreadsheet's own limit

// An amount exactly as the lists write it ("￥1,234.50"), as a number; a text that the
// number format would not give back letter for letter stays text.
bool moneyValue(const QString &text, double *value)
{
    if (!text.startsWith(QChar(0xFFE5)))
        return false;
    const std::optional<Money> m = Money::parse(text.mid(1));
    // Beyond 2^53 cents a double no longer holds every cent.
    if (!m || m->cents() > (Money::Cents(1) << 53) || m->cents() < -(Money::Cents(1) << 53)
        || Money::yuan(m->text()) != text)
        return false;
    *value = m->toDouble();
    return true;
}

struct Workbook {
    lxw_workbook *book = nullptr;
    ~Workbook()
    {
        if (book)
            lxw_workbook_free(book);
    }
    lxw_error close()
    {
        const lxw_error rc = workbook_close(book); // frees the book whatever the outcome
        book = nullptr;
        return rc;
    }
};

// Called right after the failed call, while errno still tells why: a full disk is
// worth telling in plain words.
ExportOutcome failed(lxw_error rc)
{
    const int err = errno;
    QString why = QString::fromUtf8(lxw_strerror(rc));
    if (isDiskFull(err))
        why = systemErrorText(err) + QStringLiteral("（") + why + QStringLiteral("）");
    return {ExportOutcome::Failed, int(rc), why};
}

} // namespace

ExportOutcome writeXlsx(const QString &path, const ListTable &table, const ExportProgress &progress)
{
    QTemporaryFile part(path + QStringLiteral(".XXXXXX"));
    if (!part.open())
        return {ExportOutcome::Failed, LXW_ERROR_CREATING_XLSX_FILE, part.errorString() + QStringLiteral("：") + path};
    part.close();

    // Row by row to the disk: a hundred thousand rows need little memory.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    Workbook wb;
    const QByteArray partName = QFile::encodeName(part.fileName());
    wb.book = workbook_new_opt(partName.constData(), &options);
    if (!wb.book)
        return failed(LXW_ERROR_MEMORY_MALLOC_FAILED);
    lxw_worksheet *sheet = workbook_add_worksheet(wb.book, "Sheet1");
    lxw_format *money = workbook_add_format(wb.book);
    format_set_num_format(money, "\"￥\"#,##0.00;\"￥\"-#,##0.00");

    const int columns = int(table.headers.size());
    QList<int> widths(columns, 0);
    for (int c = 0; c < columns; ++c)
        widths[c] = displayWidth(table.headers[c]);
    for (const QStringList &row : table.rows)
        for (int c = 0; c < columns && c < row.size(); ++c)
            widths[c] = std::max(widths[c], displayWidth(row[c]));
    for (int c = 0; c < columns; ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), std::min(widestColumn, widths[c] + 2.0), nullptr);

    for (int c = 0; c < columns; ++c) {
        if (lxw_error rc = worksheet_write_string(sheet, 0, lxw_col_t(c), table.headers[c].toUtf8().constData(),
                                                  nullptr))
            return failed(rc);
    }
    const qsizetype total = qsizetype(table.rows.size());
    for (qsizetype r = 0; r < total; ++r) {
        if (progress && r % progressEvery == 0 && !progress(r, total))
            return {ExportOutcome::Cancelled, 0, {}};
        const QStringList &row = table.rows[size_t(r)];
        for (int c = 0; c < columns && c < row.size(); ++c) {
            double value = 0;
            const lxw_row_t at = lxw_row_t(r + 1);
            const lxw_error rc = moneyValue(row[c], &value)
                ? worksheet_write_number(sheet, at, lxw_col_t(c), value, money)
                : worksheet_write_string(sheet, at, lxw_col_t(c), row[c].toUtf8().constData(), nullptr);
            if (rc)
                return failed(rc);
        }
    }
    if (progress && !progress(total, total))
        return {ExportOutcome::Cancelled, 0, {}};
    if (lxw_error rc = wb.close())
        return failed(rc);
    // A file the user keeps, not a private temporary one: the old file's permissions, or
    // the usual ones for a new file.
    part.setPermissions(QFile::exists(path) ? QFile::permissions(path)
                                            : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                                | QFile::ReadGroup | QFile::ReadOther);
    // rename() replaces an existing file in one step.
    if (std::rename(partName.constData(), QFile::encodeName(path).constData()) != 0)
        return {ExportOutcome::Failed, errno, systemErrorText(errno)};
    part.setAutoRemove(false);
    return {};
}

QString makeFilename(QString dateText)
{
    for (const char16_t *part : {u"-", u"/", u":", u" ", u"上午", u"下午", u"AM", u"PM"})
        dateText.remove(QString::fromUtf16(part));
    return dateText;
}

} // namespace ht::backup
