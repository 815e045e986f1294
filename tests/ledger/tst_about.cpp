#include "foundation/Program.h"
#include "foundation/Version.h"
#include "ledger/frmAbout.h"

#include <QDesktopServices>
#include <QLabel>
#include <QScreen>
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

    void showsBuildSettingsOnScreenHoversAndOpensTheWebAddress()
    {
        frmAbout dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("关于 ") + QLatin1String(program::title));
        QVERIFY(dlg.lblVersion->text().contains(program::versionText()));
        QCOMPARE(dlg.Label2->text(), QString::fromUtf8(build::vendorEmail));
        QVERIFY(dlg.Label3->text().contains(QString::fromUtf8(build::vendorName)) && dlg.Label3->text().contains(web));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.pos(), frmAbout::placement(dlg.screen()->availableGeometry(), dlg.size()));
        // A tall screen, a short one below a top panel, one shorter than the box.
        for (const QRect &screen : {QRect(0, 0, 1920, 1080), QRect(1920, 40, 1280, 300), QRect(0, 30, 800, 200)}) {
            const QRect box(frmAbout::placement(screen, frmAbout::clientSize), frmAbout::clientSize);
            QVERIFY(box.top() >= screen.top() && qAbs(box.center().x() - screen.center().x()) <= 1);
        }

        QTest::mouseMove(dlg.Label2);
        QTRY_COMPARE(dlg.Label2->palette().color(QPalette::WindowText), QColor(Qt::red));
        QTest::mouseMove(&dlg, QPoint(4, 4)); // the bare margin
        QTRY_COMPARE(dlg.Label2->palette().color(QPalette::WindowText), QColor(Qt::blue));

        QDesktopServices::setUrlHandler(QUrl(web).scheme(), this, "open");
        QTest::mouseClick(dlg.Label2, Qt::LeftButton);
        QTest::mouseClick(dlg.Label3, Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>{QUrl(web)});
    }

    void enterAndEscapeClose()
    {
        for (const auto &[key, result] :
             {std::pair(Qt::Key_Return, QDialog::Accepted), {Qt::Key_Escape, QDialog::Rejected}}) {
            frmAbout dlg;
            dlg.open();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
            QTest::keyClick(&dlg, key);
            QVERIFY(!dlg.isVisible());
            QCOMPARE(dlg.result(), int(result));
        }
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
