#include "forms/fmEditor.h"

#include "app/unCommon.h"
#include "host/FilePanel.h"

void TfrmEditor::FileListDblClick()
{
    OpenDocument(*this, FileList->FileName());
}

void TfrmEditor::Refresh1Click()
{
    drvCombo->Update();
    DIRList->Update();
    FileList->Update();
}
