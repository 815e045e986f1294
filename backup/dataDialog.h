#pragma once

#include "backup/ChoiceDialog.h"

namespace ht {

// Backs the whole database up to a file of the user's choice, or restores one.
// Option1 backs up, Option2 restores.
class dataDialog : public backup::ChoiceDialog {
    Q_OBJECT
public:
    explicit dataDialog(QWidget *parent = nullptr);

private:
    void backUp();
    void restore();
};

} // namespace ht
