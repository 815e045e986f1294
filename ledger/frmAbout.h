#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace ht {

// The about box: program name, version, the vendor's addresses and the usage notice.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    // Where the window goes on a screen of that available area: centred across, lifted
    // 84 px above the middle, but never above the screen's top edge so the title bar stays reachable.
    static QPoint placement(const QRect &screen, const QSize &client);

    // The client area of the original design, 5730 x 3555 twips.
    static constexpr QSize clientSize{382, 259};

    QLabel *picIcon;
    QLabel *lblTitle;
    QLabel *lblVersion;
    QLabel *lblDataFolder; // where the database, settings and backups are, to find them by hand
    QLabel *lblDescription;
    QLabel *m_mail; // the vendor's e-mail
    QLabel *m_web;  // the vendor's name and web address; a click opens the address
    QFrame *Line1;
    QFrame *Line1_2;
    QLabel *lblDisclaimer;
    QPushButton *cmdOK;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QLabel *linkLabel(const QString &name, const QString &text);
    void setHovered(QLabel *label);
};

} // namespace ht
