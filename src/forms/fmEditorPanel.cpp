#include "forms/fmEditor.h"

#include "app/unCommon.h"
#include "host/FilePanel.h"

#include <QFileInfo>

void TfrmEditor::FileListDblClick()
{
    OpenDocument(*this, FileList->FileName());
}

void TfrmEditor::FormDropFile(const QString &path)
{
    // A folder is for the panel to show; a file opens as a double-click on it would open it.
    if (QFileInfo(path).isDir())
        FileList->ApplyFilePath(path);
    else
        OpenDocument(*this, path);
}

void TfrmEditor::Refresh1Click()
{
    drvCombo->Update();
    DIRList->Update();
    FileList->Update();
}
