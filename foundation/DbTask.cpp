#include "foundation/DbTask.h"

#include "foundation/MessageBox.h"
#include "foundation/ProgramExit.h"

namespace ht {

void reportDbFailure(QWidget *parent, const DbError &error)
{
    showFailure(parent, error.userMessage());
}

void installDatabaseFailureHandling()
{
    clsADO::setOpenFailureHandler([](const QString &) {
        showFailure(nullptr, QStringLiteral("数据库打开失败，请重新启动软件！"));
        endProgram(1);
    });
}

} // namespace ht
