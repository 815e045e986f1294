// Cost of a login now that passwords are hashed: the hash is slow on purpose, and the
// login window waits for it.
#include "book/LoginStore.h"
#include "book/Passwords.h"
#include "book/UserStore.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

using namespace ht;

namespace {

// Median of a few runs, in milliseconds.
double medianMs(int runs, const std::function<void()> &run)
{
    std::vector<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        run();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    // The remembered logins' tokens go to a throwaway settings store, never the user's own.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    program::setDir(dir.path());
    if (!QFile::copy(QStringLiteral(HT_TEMPLATE_DB), program::pathIn(QStringLiteral("syslibs.dll")))) {
        out << "cannot copy the template database\n";
        return 1;
    }
    Connection c(program::db());
    clsADO &db = c.db();
    const QString password = QStringLiteral("correct horse");
    const auto logIn = [&](const QString &typed, LoginStore::Proof proof) {
        if (LoginStore::login(db, QStringLiteral("admin"), typed, true, proof).result != LoginResult::Ok) {
            out << "login refused\n";
            std::exit(1);
        }
    };

    // The shipped "admin" password is kept as typed until its first login hashes it.
    const double upgrade = medianMs(1, [&] { logIn(QStringLiteral("admin"), LoginStore::Proof::Password); });
    UserStore::setPassword(db, QStringLiteral("admin"), password);
    const double login = medianMs(9, [&] { logIn(password, LoginStore::Proof::Password); });
    const double remembered = medianMs(9, [&] { logIn({}, LoginStore::Proof::Remembered); });
    const double hash = medianMs(9, [&] { passwords::hash(password); });

    out << "login with a hashed password, median of 9: " << login << " ms\n";
    out << "first login of the shipped password (check, then hash): " << upgrade << " ms\n";
    out << "login through the remembered token, median of 9: " << remembered << " ms\n";
    out << "one hash, median of 9: " << hash << " ms\n";
    out << "login_ms=" << QString::number(login, 'f', 1) << " upgrade_ms=" << QString::number(upgrade, 'f', 1)
        << " token_ms=" << QString::number(remembered, 'f', 1)
        << " hash_mib=" << QString::number(double(passwords::hashBytes()) / (1024 * 1024), 'f', 0) << "\n";
    return 0;
}
