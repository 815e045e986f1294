#include "foundation/Program.h"
#include "foundation/Version.h"
#include "ledger/frmAbout.h"

#include <QDesktopServices>
#include <QLabel>
#include <QTest>
#include <QUrl>

using namespace ht;

static const QString web = QString::fromUtf8(build::vendorWeb);

class TestAbout : public QObject {
    Q_OBJECT
    QList<QUrl> opened;

public Q_SLOTS:
    // Stands in for the browser, so a click opens nothing on the network.
    void open(const QUrl &url) { opened.append(url); }

private Q_SLOTS:
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QUrl(web).scheme()); }

    void showsBuildSettingsOnScreenAndOpensTheWebAddress()
    {
        // However deep the data folder, its line fits in the box and its tip names it whole.
        const QString deep = QStringLiteral("/home/someone/") + QString(30, QLatin1Char('x'))
            + QStringLiteral("/Hearthtally");
        program::setDir(deep);
        frmAbout dlg;
        program::setDir(QString());
        QVERIFY(dlg.lblDataFolder->toolTip().endsWith(deep));
        QVERIFY(dlg.lblDataFolder->sizeHint().width() <= frmAbout::clientSize.width() - 28);
        QVERIFY(dlg.lblVersion->text().contains(program::versionText()));
        QVERIFY(dlg.m_web->text().contains(QString::fromUtf8(build::vendorName)) && dlg.m_web->text().contains(web));
        // Lifted above the middle, but the title bar never above a short screen's top edge.
        const QRect shortScreen(0, 30, 800, 200);
        QCOMPARE(QRect(frmAbout::placement(shortScreen, frmAbout::clientSize), frmAbout::clientSize).top(), 30);
        dlg.show();
        QDesktopServices::setUrlHandler(QUrl(web).scheme(), this, "open");
        QTest::mouseClick(dlg.m_mail, Qt::LeftButton);
        QTest::mouseClick(dlg.m_web, Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>{QUrl(web)});
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
