#include "newInDialog.h"

#include "MessageBox.h"
#include "Module1.h"
#include "Pictures.h"
#include "Program.h"
#include "RecordStore.h"
#include "clsADO.h"
#include "ctrcls.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ht {

newInDialog::newInDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("newInDialog"));
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));

    DTPicker1 = new QDateTimeEdit(Frame1);
    DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    DTPicker1->setCalendarPopup(true);
    DTPicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    DTPicker1->setMinimumWidth(170);
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setMinimumWidth(185);
    Text1 = new QLineEdit(QStringLiteral("0.00"), Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaximumWidth(145);
    Text1->installEventFilter(this);
    Text2 = new QPlainTextEdit(Frame1);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text2->setTabChangesFocus(true);
    Text2->setFixedSize(193, 65);
    modifyId = new QLineEdit(this);
    modifyId->setObjectName(QStringLiteral("modifyId"));
    modifyId->hide();
    hdFrmStyle = new QLineEdit(this);
    hdFrmStyle->setObjectName(QStringLiteral("hdFrmStyle"));
    hdFrmStyle->hide();

    auto *grid = new QGridLayout(Frame1);
    grid->setContentsMargins(40, 16, 40, 16);
    grid->setVerticalSpacing(14);
    grid->addWidget(new QLabel(QStringLiteral("日期："), Frame1), 0, 0);
    grid->addWidget(DTPicker1, 0, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("类别："), Frame1), 1, 0);
    grid->addWidget(Combo1, 1, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("金额："), Frame1), 2, 0);
    auto *amount = new QHBoxLayout;
    amount->addWidget(Text1);
    amount->addWidget(new QLabel(QStringLiteral("元"), Frame1));
    amount->addStretch();
    grid->addLayout(amount, 2, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("备注："), Frame1), 3, 0, Qt::AlignTop);
    grid->addWidget(Text2, 3, 1, 1, 2, Qt::AlignLeft);

    OKButton = new QPushButton(QStringLiteral("确定"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    CancelButton = new QPushButton(QStringLiteral("关闭"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    for (QPushButton *b : {OKButton, CancelButton}) {
        b->setAutoDefault(false);
        b->setFixedSize(81, 33);
        b->setIconSize(QSize(24, 24));
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addSpacing(20);
    buttons->addWidget(CancelButton);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Combo1, DTPicker1);
    setTabOrder(DTPicker1, Text1);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, OKButton);
    setTabOrder(OKButton, CancelButton);

    connect(OKButton, &QPushButton::clicked, this, &newInDialog::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    load();
}

void newInDialog::load()
{
    if (parentWidget())
        setWindowIcon(parentWidget()->windowIcon());
    OKButton->setText(QString());
    CancelButton->setText(QString());
    OKButton->setIcon(picture(Picture::Confirm));
    CancelButton->setIcon(picture(Picture::Close));
    OKButton->setToolTip(QStringLiteral("确定"));
    CancelButton->setToolTip(QStringLiteral("关闭"));

    const program::Session &s = program::session();
    const int cls = s.frmStyle >= 1 ? 1 : 0;
    modifyId->setText(QString::number(s.editId));
    hdFrmStyle->setText(QString::number(s.frmStyle));

    clsADO &db = program::db();
    db.OpenDB();
    std::optional<Record> existing;
    try {
        for (const Category &c : RecordStore::categories(db, s.userName, cls))
            Combo1->addItem(c.name, c.id);
        if (s.editId > 0)
            existing = RecordStore::record(db, s.userName, s.editId);
    } catch (const DbError &e) {
        showFailure(this, e.message());
    }
    db.CloseDB();
    DTPicker1->setDateTime(QDateTime::currentDateTime());

    if (s.editId > 0)
        setWindowTitle(cls == 1 ? QStringLiteral("修改收入记录") : QStringLiteral("修改支出记录"));
    else
        setWindowTitle(cls == 1 ? QStringLiteral("增加收入") : QStringLiteral("增加支出"));

    if (existing) {
        Combo1->setCurrentIndex(existing->category.isEmpty() ? -1 : Combo1->findText(existing->category));
        if (existing->postdate.isValid())
            DTPicker1->setDateTime(existing->postdate);
        Text1->setText(existing->amount.text());
        Text2->setPlainText(existing->memo);
    }
}

void newInDialog::OKButton_Click()
{
    const QString title = QStringLiteral("出错了");
    const QString category = ctrcls::SQLCut(Combo1->currentText());
    if (category.isEmpty()) {
        showMessage(this, QStringLiteral("提示：请选择类别"), title);
        Combo1->setFocus();
        return;
    }
    const std::optional<Money> amount = Money::parse(Text1->text());
    if (!amount) {
        showMessage(this, QStringLiteral("提示：请正确输入金额"), title);
        Text1->setFocus();
        Text1->selectAll();
        return;
    }

    const program::Session &s = program::session();
    const qint64 editing = modifyId->text().toLongLong();
    Record r;
    r.id = editing > 0 ? editing : 0;
    r.style = hdFrmStyle->text().toInt() >= 1 ? 1 : 0;
    r.postdate = DTPicker1->dateTime();
    r.amount = *amount;
    r.memo = Text2->toPlainText();

    clsADO &db = program::db();
    db.OpenDB();
    try {
        const std::optional<qint64> typeId = RecordStore::categoryId(db, s.userName, r.style, Combo1->currentText());
        if (!typeId) {
            db.CloseDB();
            showMessage(this, QStringLiteral("类别选择错误，请选择下拉列表内的类别"), title);
            return;
        }
        RecordStore::save(db, s.userName, r, *typeId);
    } catch (const DbError &e) {
        db.CloseDB();
        showFailure(this, e.message());
        return;
    }
    LoadLedgerList(r.style, s.whereStr);
    db.CloseDB();

    if (editing > 0) {
        accept();
        return;
    }
    // Ready for the next record: the category and the date stay.
    Combo1->setFocus();
    Text1->setText(QStringLiteral("0.00"));
    Text2->clear();
}

bool newInDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1 && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, Text1, [this] { Text1->selectAll(); });
    return QDialog::eventFilter(watched, event);
}

void newInDialog::done(int result)
{
    QDialog::done(result);
    trimWorkingSet();
}

} // namespace ht
