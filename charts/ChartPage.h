#pragma once

#include <QString>

class QWidget;

namespace ht {

// The chart (or table) of a page of the charts window on paper and in files: a heading,
// then the picture scaled to fill the rest of an A4 page.

// Saves the picture as PNG, or as an A4 PDF when the name ends in ".pdf"; false when
// the file cannot be written.
bool saveChartImage(QWidget *picture, const QString &heading, const QString &path);
// Prints it on A4 through the program's printer choice; says why it failed.
void printChart(QWidget *picture, const QString &heading, QWidget *parent);

} // namespace ht
