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
    auto *frame = named(new QGroupBox(QStringLiteral("按条件查询备忘记录"), this), "Frame1");
    m_byDate = named(new QCheckBox(QStringLiteral("日期："), frame), "Check1");
    const auto picker = [frame](const char *name) {
        auto *p = named(new DatePicker(frame), name);
        p->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        p->setDate(program::today());
        p->setEnabled(false);
        return p;
    };
    m_from = picker("DTPicker1");
    m_to = picker("DTPicker2");
    m_byText = named(new QCheckBox(QStringLiteral("内容："), frame), "Check2");
    m_text = named(new QLineEdit(frame), "Text1");
    m_text->setFixedWidth(241);
    m_text->setEnabled(false);
    // The boxes are announced by what they hold, not by the frame's title.
    m_from->setAccessibleName(QStringLiteral("开始日期"));
    m_to->setAccessibleName(QStringLiteral("结束日期"));
    m_text->setAccessibleName(QStringLiteral("查询内容"));

    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(14, 12, 14, 10);
    grid->addWidget(m_byDate, 0, 0);
    auto *dates = new QHBoxLayout;
    dates->addWidget(m_from);
    dates->addWidget(named(new QLabel(QStringLiteral("到"), frame), "Label2"));
    dates->addWidget(m_to);
    grid->addLayout(dates, 0, 1);
    grid->addWidget(m_byText, 1, 0);
    grid->addWidget(m_text, 1, 1);
    grid->addWidget(named(new QLabel(QStringLiteral("(支持模糊查询)"), frame), "Label1"), 2, 1);

    OKButton = dialogButton(this, "OKButton", QStringLiteral("确定"));
    CancelButton = dialogButton(this, "CancelButton", QStringLiteral("取消"));
    frameOverButtons(this, frame, OKButton, CancelButton);
    QWidget *order[] = {m_byDate, m_from, m_to, m_byText, m_text, OKButton, CancelButton};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_byDate, &QCheckBox::toggled, this, [this](bool on) {
        m_from->setEnabled(on);
        m_to->setEnabled(on);
        if (on)
            m_from->setFocus();
    });
    connect(m_byText, &QCheckBox::toggled, this, [this](bool on) {
        m_text->setEnabled(on);
        if (on)
            m_text->setFocus();
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
    if (!m_byDate->isChecked() && !m_byText->isChecked())
        return refuse(this, QStringLiteral("请选择要查询的项"));
    SqlFilter narrowed = m_current;
    if (m_byDate->isChecked()) {
        if (m_to->date() < m_from->date())
            return refuse(this, QStringLiteral("目标日期不能小于选择日期"), m_to);
        narrowed.add(MemoStore::days(m_from->date(), m_to->date()));
    }
    // The text counts whenever the box holds one, ticked or not.
    if (!m_text->text().isEmpty())
        narrowed.add(MemoStore::containing(m_text->text()));
    Q_EMIT chosen(narrowed);
    accept();
}

} // namespace ht
