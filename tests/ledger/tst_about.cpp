#include "Pictures.h"
#include "Program.h"
#include "TestSupport.h"
#include "Version.h"
#include "frmAbout.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace ht;
using ht::test::ProgramFolder;

// Stands in for the browser: keeps every address the program asks to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

namespace {

const QColor blue(0, 0, 255);
const QColor red(255, 0, 0);

QColor textColor(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

// Inside the dialog's margin, where no control lies.
constexpr QPoint bare(4, 4);

} // namespace

class TestAbout : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFolder> m_folder;
    UrlCatcher m_browser;

    QLabel *link(frmAbout &dlg, const QByteArray &name)
    {
        return name == "Label2" ? dlg.Label2 : dlg.Label3;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_browser, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_browser, "open");
    }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        m_browser.opened.clear();
    }
    void cleanup() { m_folder.reset(); }

    void showsProgramAndVendor()
    {
        frmAbout dlg;
        QCOMPARE(dlg.objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("关于 Hearthtally"));
        QCOMPARE(dlg.lblTitle->text(), QStringLiteral("Hearthtally"));
        QVERIFY(dlg.lblTitle->font().bold());
        QVERIFY(dlg.lblTitle->font().pointSizeF() > dlg.lblVersion->font().pointSizeF());
        QCOMPARE(dlg.lblVersion->text(), QStringLiteral("版本 ") + program::versionText());
        QCOMPARE(dlg.lblDescription->text(), QStringLiteral("谨此软件献给每一位持家、爱家，善于理财的人"));
        QVERIFY(dlg.lblDescription->wordWrap());
        QCOMPARE(dlg.Label2->text(), QString::fromUtf8(build::vendorEmail));
        QCOMPARE(dlg.Label3->text(),
                 QString::fromUtf8(build::vendorName) + QLatin1Char(' ') + QString::fromUtf8(build::vendorWeb));
        QVERIFY(!dlg.lblDisclaimer->text().isEmpty());
        QVERIFY(!dlg.picIcon->pixmap().isNull());
    }

    void isFixedSizeWithOwnersIcon()
    {
        QWidget owner;
        owner.setWindowIcon(picture(Picture::Confirm));
        frmAbout dlg(&owner);
        QCOMPARE(dlg.size(), QSize(382, 237));
        QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
        QCOMPARE(dlg.windowIcon().cacheKey(), owner.windowIcon().cacheKey());

        frmAbout alone;
        QVERIFY(!alone.windowIcon().isNull());
    }

    void hoverTurnsLinkRed_data()
    {
        QTest::addColumn<QByteArray>("hovered");
        QTest::addColumn<QByteArray>("other");
        QTest::newRow("e-mail") << QByteArray("Label2") << QByteArray("Label3");
        QTest::newRow("web") << QByteArray("Label3") << QByteArray("Label2");
    }
    void hoverTurnsLinkRed()
    {
        QFETCH(QByteArray, hovered);
        QFETCH(QByteArray, other);
        frmAbout dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QLabel *on = link(dlg, hovered);
        QLabel *off = link(dlg, other);
        QCOMPARE(dlg.childAt(bare), nullptr);
        QCOMPARE(on->cursor().shape(), Qt::PointingHandCursor);
        // Sized to the text, so only the address itself reacts to the pointer.
        QCOMPARE(on->width(), on->sizeHint().width());
        QCOMPARE(textColor(on), blue);

        QTest::mouseMove(&dlg, bare);
        QTest::mouseMove(on);
        QTRY_COMPARE(textColor(on), red);
        QCOMPARE(textColor(off), blue);

        // Dragging within the label keeps it red rather than counting as the bare surface.
        QTest::mousePress(on, Qt::LeftButton);
        QTest::mouseMove(on, QPoint(2, on->height() / 2));
        QCOMPARE(textColor(on), red);
        QTest::mouseRelease(on, Qt::LeftButton, {}, QPoint(2, on->height() / 2));

        QTest::mouseMove(&dlg, bare);
        QTRY_COMPARE(textColor(on), blue);
        QCOMPARE(textColor(off), blue);

        // Red without the label ever being left: a move over the bare surface alone resets it.
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(on, &enter);
        QCOMPARE(textColor(on), red);
        QTest::mouseMove(&dlg, bare + QPoint(3, 3));
        QTRY_COMPARE(textColor(on), blue);
    }

    void movingBetweenLinksSwapsColours()
    {
        frmAbout dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::mouseMove(dlg.Label2);
        QTRY_COMPARE(textColor(dlg.Label2), red);
        QTest::mouseMove(dlg.Label3);
        QTRY_COMPARE(textColor(dlg.Label3), red);
        QCOMPARE(textColor(dlg.Label2), blue);
    }

    void onlyLeftClickOnWebAddressOpensIt()
    {
        frmAbout dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));

        QTest::mouseClick(dlg.Label2, Qt::LeftButton);
        QTest::mouseClick(dlg.Label3, Qt::RightButton);
        QCOMPARE(m_browser.opened.size(), 0);

        QTest::mouseClick(dlg.Label3, Qt::LeftButton);
        QCOMPARE(m_browser.opened, QList<QUrl>{QUrl(QString::fromUtf8(build::vendorWeb))});
        QVERIFY(dlg.isVisible());
    }

    void keysClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("escape") << int(Qt::Key_Escape) << int(QDialog::Rejected);
    }
    void keysClose()
    {
        QFETCH(int, key);
        QFETCH(int, result);
        frmAbout dlg;
        QVERIFY(dlg.cmdOK->isDefault());
        int got = -1;
        bool closedByKey = false;
        QVERIFY(test::runModal([&] { got = dlg.exec(); },
                               [&](QDialog *shown) {
                                   QCOMPARE(shown, &dlg);
                                   QTest::keyClick(shown, Qt::Key(key));
                                   closedByKey = !shown->isVisible();
                               }));
        QVERIFY(closedByKey);
        QCOMPARE(got, result);
    }

    void okButtonCloses()
    {
        frmAbout dlg;
        int got = -1;
        QVERIFY(test::runModal([&] { got = dlg.exec(); }, [&](QDialog *) { QTest::mouseClick(dlg.cmdOK, Qt::LeftButton); }));
        QCOMPARE(got, int(QDialog::Accepted));
    }

    void placement_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("expected");
        // (1920 - 382) / 2 = 769; (1080 - 237) / 2 - 84 = 337
        QTest::newRow("tall") << QRect(0, 0, 1920, 1080) << QPoint(769, 337);
        QTest::newRow("tall, second screen") << QRect(1920, 40, 1920, 1080) << QPoint(2689, 377);
        // (300 - 237) / 2 - 84 is above the edge
        QTest::newRow("short") << QRect(0, 0, 800, 300) << QPoint(209, 0);
        QTest::newRow("short, below a top panel") << QRect(0, 30, 800, 300) << QPoint(209, 30);
    }
    void placement()
    {
        QFETCH(QRect, screen);
        QFETCH(QPoint, expected);
        QCOMPARE(frmAbout::placement(screen, QSize(382, 237)), expected);
    }

    void showsWhereThePlacementSays()
    {
        QWidget owner;
        owner.setGeometry(10, 10, 200, 150);
        owner.show();
        frmAbout dlg(&owner);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.pos(), frmAbout::placement(owner.screen()->availableGeometry(), dlg.size()));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
