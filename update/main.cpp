#include "update/frmUpdate.h"

#include "foundation/Icons.h"

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

    // The key every downloaded program file must be signed with, fixed when this was built.
    ht::update::frmUpdate form(QByteArrayLiteral(HT_UPDATE_PUBKEY));
    QObject::connect(&form, &QDialog::finished, &app, &QCoreApplication::quit);
    form.show();
    return app.exec();
}
