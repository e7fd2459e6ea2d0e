// The real dialogs: modal boxes and file and font dialogs over Qt's widgets.
#pragma once

#include "host/Dialogs.h"

#include <QPointer>
#include <QWidget>

class QtDialogs : public Dialogs
{
public:
    void setOwner(QWidget *owner) { m_owner = owner; }

    ModalResult messageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                           int helpContext = 0) override;
    void showMessage(const QString &text) override;
    void showErrorReport(const QString &text) override;
    std::optional<QString> executeOpen(const FileDialogRequest &request) override;
    std::optional<QString> executeSave(const FileDialogRequest &request) override;
    std::optional<EditorFont> executeFont(const EditorFont &current) override;

private:
    QPointer<QWidget> m_owner;
};

// The name filters a Qt file dialog shows for the given type list.
QStringList QtNameFilters(const QList<FileFilter> &filters);
