#include "backup/ChoiceDialog.h"

#include "foundation/DialogKit.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ht::backup {

ChoiceDialog::ChoiceDialog(QWidget *parent, const ChoiceTexts &texts) : QDialog(parent)
{
    setObjectName(QLatin1String(texts.objectName));
    setWindowTitle(texts.caption);
    Frame1 = named(new QGroupBox(texts.frame, this), "Frame1");
    Option1 = named(new QRadioButton(texts.first, Frame1), "Option1");
    Option2 = named(new QRadioButton(texts.second, Frame1), "Option2");
    Option1->setChecked(true);
    for (auto [option, colour] : {std::pair(Option1, texts.firstColour), std::pair(Option2, texts.secondColour)}) {
        if (colour.isValid())
            option->setStyleSheet(QStringLiteral("color: %1").arg(colour.name()));
    }
    auto *layout = new QVBoxLayout(Frame1);
    layout->setContentsMargins(24, 12, 24, 12);
    layout->setSpacing(10);
    layout->addWidget(Option1);
    layout->addWidget(Option2);
    OKButton = dialogButton(this, "OKButton", texts.confirm);
    CancelButton = dialogButton(this, "CancelButton", texts.close);
}

} // namespace ht::backup
