// The modal message box behind MessageDlg, ShowMessage and the general error report.
#pragma once

#include "host/Dialogs.h"

#include <QMessageBox>

class MessageBox : public QMessageBox
{
    Q_OBJECT
public:
    MessageBox(QWidget *parent, const QString &caption, const QString &text, Icon icon,
               TMsgDlgButtons buttons);

    // Shows the box modally, centred on the screen; closing it by its frame gives mrCancel.
    ModalResult run();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QAbstractButton *buttonFor(TMsgDlgBtn which) const;

    QList<QPair<TMsgDlgBtn, QAbstractButton *>> m_buttons;
    bool m_closedByFrame = false;
};

QMessageBox::Icon IconOfType(TMsgDlgType type);
