#include "update/frmUpdate.h"

#include "foundation/Icons.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("update"));
    QApplication::setWindowIcon(ht::icon("app"));
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // Files under the package manager's care are its to replace.
    if (!ht::program::keepsDataBeside(ht::program::exeDir())) {
        ht::showMessage(nullptr, ht::program::updatedByPackageManager(), QStringLiteral("在线升级"), ht::MsgButtons::Ok,
                        ht::MsgIcon::Information);
        return 0;
    }

    // The key every downloaded program file must be signed with, fixed when this was built.
    ht::update::frmUpdate form(QByteArrayLiteral(HT_UPDATE_PUBKEY));
    QObject::connect(&form, &QDialog::finished, &app, &QCoreApplication::quit);
    form.show();
    return app.exec();
}
