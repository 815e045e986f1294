// Cost of opening the data store: the first open derives the key, every later one reuses it.
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("syslibs.dll"));
    if (!QFile::copy(QStringLiteral(HT_TEMPLATE_DB), path)) {
        out << "cannot copy the template database\n";
        return 1;
    }
    ht::clsADO db(path);

    QElapsedTimer timer;
    timer.start();
    db.OpenDB();
    db.CloseDB();
    const double first = double(timer.nsecsElapsed()) / 1e6;

    std::vector<double> pairs;
    for (int i = 0; i < 200; ++i) {
        timer.restart();
        db.OpenDB();
        db.CloseDB();
        pairs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(pairs.begin(), pairs.end());
    const double median = (pairs[99] + pairs[100]) / 2;
    out << "first OpenDB+CloseDB (derives the key): " << first << " ms\n";
    out << "median of 200 later OpenDB+CloseDB pairs: " << median << " ms (min " << pairs.front() << ", max "
        << pairs.back() << ")\n";
    out << "opendb_first_ms=" << QString::number(first, 'f', 2)
        << " opendb_median_ms=" << QString::number(median, 'f', 3) << "\n";
    return 0;
}
