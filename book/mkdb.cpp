// Build step: writes the shipped database from the schema script and the built-in categories.
#include "book/TypesStore.h"

#include "foundation/clsADO.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "usage: mkdb SCHEMA.sql OUTPUT\n";
        return 2;
    }
    QFile schema(args[1]);
    if (!schema.open(QIODevice::ReadOnly)) {
        err << "cannot read " << args[1] << "\n";
        return 1;
    }
    const QString out = args[2];
    QFile::remove(out);
    try {
        ht::clsADO::createDatabase(out, QString::fromUtf8(schema.readAll()));
        ht::clsADO db(out);
        ht::Connection connection(db);
        ht::TypesStore::addBuiltIns(db);
    } catch (const ht::DbError &e) {
        err << "schema failed: " << e.message() << "\n";
        QFile::remove(out);
        return 1;
    }
    return 0;
}
