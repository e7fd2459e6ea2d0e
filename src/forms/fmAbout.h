// The About box: program name and version, rights line, and two links to the maker.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TfrmAbout : public QDialog
{
    Q_OBJECT
public:
    // A top-level box; the application owns it, not the main window.
    explicit TfrmAbout(QWidget *parent = nullptr);

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *lblURL = nullptr;
    QLabel *lblEmail = nullptr;
    QPushButton *btnOK = nullptr;

    // Pointer over a link: that link turns hot. Over the box's own surface: both turn normal.
    void lblURLMouseMove();
    void lblEmailMouseMove();
    void FormMouseMove();
    void lblURLClick();
    void lblEmailClick();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *addLabel(const char *name, const QString &text, int left, int top);
    void setHot(QLabel *link, bool hot);

    bool m_placed = false;
};
