#include "recycle/BinTexts.h"

#include "book/BuiltIn.h"

#include "foundation/DateText.h"
#include "foundation/Money.h"

#include <QRegularExpression>
#include <QStringList>

namespace ht::recycle {
namespace {

QString sum(qint64 cents)
{
    return Money::yuan(Money::fromCents(cents).text());
}

// The built-in "其他" category of the class, as the restore uses it.
QString otherName(int cls)
{
    for (const BuiltInCategory &c : builtInCategories) {
        const QString name = QString::fromUtf8(c.name);
        if (c.cls == cls && name.startsWith(QStringLiteral("其他")))
            return QStringLiteral("“%1”").arg(name);
    }
    return {};
}

} // namespace

QString amountText(double money)
{
    return Money::yuan(Money::fromDouble(money).text());
}

QString firstLine(const QString &text)
{
    constexpr int width = 40;
    const QString line = text.trimmed().section(QRegularExpression(QStringLiteral("[\r\n]")), 0, 0).trimmed();
    return line.size() > width ? line.left(width) + QStringLiteral("…") : line;
}

QString kindText(const RecycleBin::Entry &entry, const RecycleBin::Summary &summary)
{
    if (entry.kind == QLatin1String("bank"))
        return QStringLiteral("银行账户");
    if (entry.kind == QLatin1String("memo"))
        return QStringLiteral("备忘录");
    if (summary.count[0] > 0 && summary.count[1] > 0)
        return QStringLiteral("收支记录");
    return summary.count[1] > 0 ? QStringLiteral("收入记录") : QStringLiteral("支出记录");
}

QString mainText(const RecycleBin::Entry &entry, const RecycleBin::Summary &summary)
{
    const QString more = entry.count > 1 ? QStringLiteral("（共 %1 项）").arg(entry.count) : QString();
    if (const std::optional<RecycleBin::BinItem> &i = summary.item; i) {
        if (entry.kind == QLatin1String("memo"))
            return firstLine(i->title) + more;
        QStringList parts{i->title, QStringLiteral("账号 ") + i->account};
        if (!i->card.isEmpty())
            parts << QStringLiteral("卡号 ") + i->card;
        return parts.join(QStringLiteral("  ")) + more;
    }
    if (const std::optional<RecycleBin::BinRecord> &r = summary.record; r) {
        QStringList parts{chsDate(r->postdate).trimmed(),
                          r->category.isEmpty() ? QStringLiteral("（类别已删除）") : r->category, amountText(r->money)};
        if (!r->memo.isEmpty())
            parts << firstLine(r->memo);
        return parts.join(QStringLiteral("  "));
    }
    QStringList parts{QStringLiteral("%1 条记录").arg(summary.count[0] + summary.count[1])};
    if (summary.first.isValid()) {
        const QString first = chsDate(summary.first).trimmed(), last = chsDate(summary.last).trimmed();
        parts << (first == last ? first : first + QStringLiteral("至") + last);
    }
    if (summary.count[0] > 0)
        parts << QStringLiteral("支出 ") + sum(summary.cents[0]);
    if (summary.count[1] > 0)
        parts << QStringLiteral("收入 ") + sum(summary.cents[1]);
    return parts.join(QStringLiteral("，"));
}

void RestoredTotal::add(const RecycleBin::Entry &entry, const RecycleBin::Restored &restored)
{
    if (entry.kind == QLatin1String("bank"))
        banks += restored.records;
    else if (entry.kind == QLatin1String("memo"))
        memos += restored.records;
    else
        records += restored.records;
    recategorized += restored.recategorized;
    expense |= restored.recategorizedIn[0] > 0;
    income |= restored.recategorizedIn[1] > 0;
}

QString restoredText(const RestoredTotal &total)
{
    QStringList parts;
    if (total.records > 0)
        parts << QStringLiteral("%1 条收支记录").arg(total.records);
    if (total.banks > 0)
        parts << QStringLiteral("%1 个银行账户").arg(total.banks);
    if (total.memos > 0)
        parts << QStringLiteral("%1 条备忘").arg(total.memos);
    if (total.isEmpty())
        return QStringLiteral("所选内容已不在回收站中。");
    QString text = QStringLiteral("已恢复 ") + parts.join(QStringLiteral("、")) + QStringLiteral("。");
    if (total.recategorized > 0) {
        QStringList names;
        if (total.expense)
            names << otherName(0);
        if (total.income)
            names << otherName(1);
        text += QStringLiteral("\r\n\r\n其中 %1 条记录原来的类别已被删除，已归入%2类别。")
                    .arg(total.recategorized)
                    .arg(names.join(QStringLiteral("或")));
    }
    return text;
}

QString deletedText(const RecycleBin::Entry &entry)
{
    const QString what = entry.kind == QLatin1String("bank") ? QStringLiteral("%1 个银行账户")
        : entry.kind == QLatin1String("memo")                ? QStringLiteral("%1 条备忘")
                                                             : QStringLiteral("%1 条收支记录");
    return QStringLiteral("已删除 ") + what.arg(entry.count) + QStringLiteral("，已移到回收站。");
}

} // namespace ht::recycle
