#include "app/Startup.h"

#include "forms/fmEditor.h"
#include "host/Application.h"
#include "host/QtDialogs.h"

#include <QApplication>

void PrepareProcess()
{
    PrepareHostProcess();
}

void InitializeApplication()
{
    SetApplicationTitle(QStringLiteral("Orvik Pagloom"));
    SetApplicationHelpFile(QStringLiteral("OSTRAEDITOR.HLP"));
}

int RunEditor(int argc, char **argv)
{
    PrepareProcess();
    QApplication app(argc, argv);
    InitializeApplication();
    QtDialogs dialogs;
    TfrmEditor form(dialogs, QApplication::arguments());
    dialogs.setOwner(&form);
    form.showMaximized();
    return QApplication::exec();
}
