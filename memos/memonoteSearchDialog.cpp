#include "memos/memonoteSearchDialog.h"

#include "book/MemoStore.h"

#include "foundation/DatePicker.h"
#include "foundation/DialogKit.h"
#include "foundation/Icons.h"
#include "foundation/Program.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ht {

memonoteSearchDialog::memonoteSearchDialog(QWidget *parent, const SqlFilter &current)
    : QDialog(parent), m_current(current)
{
    setObjectName(QStringLiteral("memonoteSearchDialog"));
    setWindowTitle(QStringLiteral("查询"));
    setWindowIcon(icon("search"));
    Frame1 = named(new QGroupBox(QStringLiteral("按条件查询备忘记录"), this), "Frame1");
    Check1 = named(new QCheckBox(QStringLiteral("日期："), Frame1), "Check1");
    const auto picker = [this](const char *name) {
        auto *p = named(new DatePicker(Frame1), name);
        p->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        p->setDate(program::today());
        p->setEnabled(false);
        return p;
    };
    DTPicker1 = picker("DTPicker1");
    DTPicker2 = picker("DTPicker2");
    Check2 = named(new QCheckBox(QStringLiteral("内容："), Frame1), "Check2");
    Text1 = named(new QLineEdit(Frame1), "Text1");
    Text1->setFixedWidth(241);
    Text1->setEnabled(false);
    // The boxes are announced by what they hold, not by the frame's title.
    DTPicker1->setAccessibleName(QStringLiteral("开始日期"));
    DTPicker2->setAccessibleName(QStringLiteral("结束日期"));
    Text1->setAccessibleName(QStringLiteral("查询内容"));

    auto *grid = new QGridLayout(Frame1);
    grid->setContentsMargins(14, 12, 14, 10);
    grid->addWidget(Check1, 0, 0);
    auto *dates = new QHBoxLayout;
    dates->addWidget(DTPicker1);
    dates->addWidget(named(new QLabel(QStringLiteral("到"), Frame1), "Label2"));
    dates->addWidget(DTPicker2);
    grid->addLayout(dates, 0, 1);
    grid->addWidget(Check2, 1, 0);
    grid->addWidget(Text1, 1, 1);
    grid->addWidget(named(new QLabel(QStringLiteral("(支持模糊查询)"), Frame1), "Label1"), 2, 1);

    OKButton = dialogButton(this, "OKButton", QStringLiteral("确定"));
    CancelButton = dialogButton(this, "CancelButton", QStringLiteral("取消"));
    frameOverButtons(this, Frame1, OKButton, CancelButton);
    QWidget *order[] = {Check1, DTPicker1, DTPicker2, Check2, Text1, OKButton, CancelButton};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(Check1, &QCheckBox::toggled, this, [this](bool on) {
        DTPicker1->setEnabled(on);
        DTPicker2->setEnabled(on);
        if (on)
            DTPicker1->setFocus();
    });
    connect(Check2, &QCheckBox::toggled, this, [this](bool on) {
        Text1->setEnabled(on);
        if (on)
            Text1->setFocus();
    });
    connect(OKButton, &QPushButton::clicked, this, &memonoteSearchDialog::OKButton_Click);
    // Keeps its own icon: setUpDialog would take the owner's.
    setPictureButtons(OKButton, CancelButton);
    OKButton->setDefault(true);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    trimWhenClosed(this);
}

void memonoteSearchDialog::OKButton_Click()
{
    if (!Check1->isChecked() && !Check2->isChecked())
        return refuse(this, QStringLiteral("请选择要查询的项"));
    SqlFilter narrowed = m_current;
    if (Check1->isChecked()) {
        if (DTPicker2->date() < DTPicker1->date())
            return refuse(this, QStringLiteral("目标日期不能小于选择日期"), DTPicker2);
        narrowed.add(MemoStore::days(DTPicker1->date(), DTPicker2->date()));
    }
    // The text counts whenever the box holds one, ticked or not.
    if (!Text1->text().isEmpty())
        narrowed.add(MemoStore::containing(Text1->text()));
    Q_EMIT chosen(narrowed);
    accept();
}

} // namespace ht
