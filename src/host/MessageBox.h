// The modal message box behind MessageDlg, ShowMessage and the general error report.
#pragma once

#include "host/Dialogs.h"

#include <QDialog>

class QPushButton;

class MessageBox : public QDialog
{
    Q_OBJECT
public:
    enum class Icon { None, Warning, Stop, Information, Question };

    MessageBox(QWidget *parent, const QString &caption, const QString &text, Icon icon,
               TMsgDlgButtons buttons);

    // Shows the box modally, centred on the screen; closing it by its frame gives mrCancel.
    ModalResult run();
    QPushButton *button(TMsgDlgBtn which) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void finish(ModalResult result);
    ModalResult m_result = mrCancel;
    ModalResult m_escapeResult = mrCancel;
    QList<QPair<TMsgDlgBtn, QPushButton *>> m_buttons;
};

MessageBox::Icon IconOfType(TMsgDlgType type);
