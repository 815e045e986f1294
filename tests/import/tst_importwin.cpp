#include "BillFiles.h"

#include "tests/support/TestSupport.h"

#include "import/BillModel.h"
#include "import/BillPreview.h"
#include "import/ColumnsDialog.h"
#include "import/Import.h"
#include "import/RulesDialog.h"

#include "ledger/MainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace ht;
using namespace ht::test;

class TestImportWindow : public QObject {
    Q_OBJECT
private slots:
    void previewTicksRulesImportsAndUndoes();
};

// Through the main window's commands: the preview by keyboard, a rule, the import, the
// same file again, a file of neither kind, a bank's statement mapped, and the undo.
void TestImportWindow::previewTicksRulesImportsAndUndoes()
{
    const auto folder = ProgramFolder::withUser("admin");
    const QString path = folder->path("微信支付账单.csv");
    const QList<QStringList> rows = {
        {"2025-05-01 08:00:00", "商户消费", "早餐店", "包子", "支出", "¥6.00", "零钱", "支付成功", "T1", "", ""},
        {"2025-05-02 08:00:00", "商户消费", "超市", "牛奶", "支出", "¥1,006.50", "零钱", "支付成功", "T2", "", ""},
        {"2025-05-03 08:00:00", "转账", "张三", "/", "收入", "¥100", "/", "已收钱", "T3", "", ""},
        {"2025-05-04 08:00:00", "提现", "银行", "/", "/", "¥9", "/", "提现已到账", "T4", "", ""}};
    writeFile(path, utf8(csvText(withPreamble(16, "微信支付账单明细列表", wechatHeader, rows)), true));
    std::unique_ptr<MainWindow> w(openMainWindow({billimport::attach}));

    folder->fileAnswers << path;
    QVERIFY(runModal([&] { triggerAction(w.get(), "mm_import"); },
                     [&](QDialog *d) {
        auto *preview = qobject_cast<BillPreview *>(d);
        QVERIFY(preview);
        QCOMPARE(preview->summary->text(), "将导入 1 条收入、2 条支出，共 ￥100.00 / ￥1,012.50；跳过 1 条");
        QTest::keyClick(preview->table, Qt::Key_Space);
        QCOMPARE(preview->summary->text(), "将导入 1 条收入、1 条支出，共 ￥100.00 / ￥1,006.50；跳过 2 条");
        QTest::keyClick(preview->table, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(preview->table, Qt::Key_Space);
        QCOMPARE(preview->summary->text(), "将导入 1 条收入、2 条支出，共 ￥100.00 / ￥1,012.50；跳过 1 条");
        QVERIFY(runModal([&] { preview->rulesButton->click(); },
                         [](QDialog *r) {
            auto *rules = qobject_cast<RulesDialog *>(r);
            rules->addButton->click();
            rules->table->item(0, 0)->setText("超市");
            static_cast<QComboBox *>(rules->table->cellWidget(0, 2))->setCurrentText("日常");
            rules->accept();
        }));
        const QModelIndex second = preview->model()->index(1, BillModel::CategoryColumn);
        QCOMPARE(second.data().toString(), "日常");
        QCOMPARE(second.siblingAtColumn(BillModel::Note).data().toString(), "规则：包含“超市”");
        QTest::keyClick(preview->table, Qt::Key_Return);
    }));
    QCOMPARE(folder->messages.last().text, "已导入 3 条收支记录。");
    QCOMPARE(scalar("SELECT group_concat(B.typename||A.money||A.memo,';') FROM pursewicks A JOIN types B ON "
                    "A.typeid=B.ID ORDER BY A.postdate"),
             "其他开支6.0早餐店 包子;日常1006.5超市 牛奶;其他收入100.0张三");

    // The same file again: nothing to tick; Escape writes nothing.
    folder->fileAnswers << path;
    QVERIFY(runModal([&] { triggerAction(w.get(), "mm_import"); },
                     [&](QDialog *d) {
        auto *preview = qobject_cast<BillPreview *>(d);
        QCOMPARE(preview->summary->text(), "将导入 0 条收入、0 条支出，共 ￥0.00 / ￥0.00；跳过 4 条");
        QCOMPARE(preview->model()->index(0, BillModel::Note).data().toString(), "已导入过");
        QTest::keyClick(preview->table, Qt::Key_Escape);
        QVERIFY(!preview->isVisible());
    }));
    writeFile(path, "你好\n");
    folder->fileAnswers << path;
    triggerAction(w.get(), "mm_import");
    QVERIFY(folder->messages.last().text.startsWith("无法识别这个文件：应为微信支付账单"));

    // A bank's statement: its columns guessed from their names, the choice kept for its header row.
    writeFile(path,
              "交易日期,摘要,交易金额,流水号\n2025-06-01 09:00,工资,+5000.00,B1\n2025-06-02,ATM取款,-200.00,B2\n"
              "2025-06-03,坏行,abc,B3\n");
    QString previewed;
    QTimer preview;
    preview.setInterval(10);
    connect(&preview, &QTimer::timeout, [&] {
        if (auto *p = qobject_cast<BillPreview *>(QApplication::activeModalWidget()); p && p->isVisible()) {
            preview.stop();
            previewed = p->summary->text();
            p->reject();
        }
    });
    for (const char *expected : {"0,2,-1,-1,-1,1,3", "0,2,-1,-1,-1,1,-1"}) {
        folder->fileAnswers << path;
        QVERIFY(runModal([&] { triggerAction(w.get(), "mm_import"); },
                         [&](QDialog *d) {
            auto *columns = qobject_cast<ColumnsDialog *>(d);
            QCOMPARE(columns->columns().text(), QString::fromLatin1(expected));
            columns->boxes[6]->setCurrentIndex(0);
            preview.start();
            columns->accept();
        }));
        QCOMPARE(previewed, "将导入 1 条收入、1 条支出，共 ￥5,000.00 / ￥200.00；跳过 1 条");
    }

    triggerAction(w.get(), "mm_undoImport");
    QCOMPARE(folder->messages.last().text, "已撤销上次导入，删除了 3 条记录。");
    QCOMPARE(scalar("SELECT COUNT(*) FROM pursewicks"), "0");
    triggerAction(w.get(), "mm_undoImport");
    QCOMPARE(folder->messages.last().text, "没有可以撤销的导入。");
}

QTEST_MAIN(TestImportWindow)
#include "tst_importwin.moc"
