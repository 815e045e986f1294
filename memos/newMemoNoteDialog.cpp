#include "memos/newMemoNoteDialog.h"

#include "memos/MemoLook.h"

#include "foundation/DatePicker.h"
#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/FileDialog.h"
#include "foundation/Program.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>

namespace ht {

newMemoNoteDialog::newMemoNoteDialog(QWidget *parent, qint64 id) : QDialog(parent), m_id(id)
{
    setObjectName(QStringLiteral("newMemoNoteDialog"));
    setWindowTitle(QStringLiteral("新建/修改备忘"));
    auto *fields = new QWidget(this);
    m_when = named(new DatePicker(fields), "DTPicker1");
    m_when->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_fontButton = named(new QPushButton(QStringLiteral("字体格式…"), fields), "Command2");
    m_colourButton = named(new QPushButton(QStringLiteral("字体颜色…"), fields), "Command1");
    for (QPushButton *b : {m_fontButton, m_colourButton}) {
        b->setAutoDefault(false);
        pressOnEnter(b);
    }
    m_content = named(new QPlainTextEdit(fields), "noteContent");
    m_content->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab leaves the box, as in every other window, so the keyboard reaches the buttons.
    m_content->setTabChangesFocus(true);
    m_content->setFixedSize(481, 249);

    auto *top = new QHBoxLayout;
    top->addWidget(labelFor(m_when, QStringLiteral("日期：")));
    top->addWidget(m_when);
    top->addStretch();
    top->addWidget(m_fontButton);
    top->addWidget(m_colourButton);
    auto *grid = new QVBoxLayout(fields);
    grid->setContentsMargins(12, 10, 12, 4);
    grid->addLayout(top);
    grid->addWidget(labelFor(m_content, QStringLiteral("内容：")));
    grid->addWidget(m_content);

    OKButton = dialogButton(this, "OKButton", QStringLiteral("保存"));
    CancelButton = dialogButton(this, "CancelButton", QStringLiteral("取消"));
    frameOverButtons(this, fields, OKButton, CancelButton);
    QWidget *order[] = {m_content, m_when, m_fontButton, m_colourButton, OKButton, CancelButton};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_fontButton, &QPushButton::clicked, this, &newMemoNoteDialog::chooseFont);
    connect(m_colourButton, &QPushButton::clicked, this, &newMemoNoteDialog::chooseColor);
    connect(OKButton, &QPushButton::clicked, this, &newMemoNoteDialog::OKButton_Click);
    setUpDialog(this, OKButton, CancelButton);
    m_content->setFocus();

    if (id < 1) {
        setWindowTitle(QStringLiteral("新备忘"));
        m_when->setDateTime(QDateTime(program::today(), QTime::currentTime()));
    } else {
        load(id);
    }
}

void newMemoNoteDialog::load(qint64 id)
{
    setWindowTitle(QStringLiteral("编辑备忘"));
    std::optional<MemoNote> note;
    if (!withDb(this, [&](clsADO &db) { note = MemoStore::load(db, program::session().userName, id); }))
        return;
    if (!note) {
        // Deleted since the list was loaded: nothing to edit.
        refuse(this, QStringLiteral("此备忘已不存在"));
        m_id = -1;
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    if (note->when.isValid())
        m_when->setDateTime(note->when);
    m_content->setPlainText(note->content);
    showStyle(note->style);
}

void newMemoNoteDialog::showStyle(const MemoStyle &s)
{
    m_style = s;
    m_content->setFont(styledFont(s, font()));
    QPalette p = m_content->palette();
    p.setColor(QPalette::Text, storedColor(s).value_or(palette().color(QPalette::Text)));
    m_content->setPalette(p);
}

void newMemoNoteDialog::chooseFont()
{
    // The dialog starts from the note's own font, so a change can start from what is shown.
    const std::optional<QFont> chosen = ht::chooseFont(this, m_content->font());
    if (!chosen || chosen->family().trimmed().isEmpty())
        return;
    MemoStyle s = m_style;
    storeFont(s, *chosen);
    showStyle(s);
}

void newMemoNoteDialog::chooseColor()
{
    const std::optional<QColor> chosen = ht::chooseColor(this, m_content->palette().color(QPalette::Text));
    if (!chosen)
        return;
    MemoStyle s = m_style;
    storeColor(s, *chosen);
    showStyle(s);
}

void newMemoNoteDialog::OKButton_Click()
{
    const QString text = typedText(m_content);
    if (text.isEmpty()) {
        refuse(this, QStringLiteral("请输入备忘内容！"));
        m_content->setFocus();
        QTextCursor line = m_content->textCursor();
        line.movePosition(QTextCursor::StartOfLine);
        line.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
        m_content->setTextCursor(line);
        return;
    }
    const qint64 id = m_id;
    if (id < 0)
        return;
    MemoNote note{id, m_when->dateTime(), text, m_style};
    auto &s = program::session();
    bool saved = false;
    if (!withDb(this, [&](clsADO &db) {
            saved = id == 0 ? MemoStore::add(db, s.userName, note) > 0 : MemoStore::update(db, s.userName, note);
        }))
        return;
    if (!saved) {
        refuse(this, QStringLiteral("此备忘已不存在"));
        Q_EMIT gone();
        return reject();
    }
    accept();
}

} // namespace ht
