#include "forms/fmEditor.h"

#include "host/EditSurface.h"
#include "host/MenuItem.h"

void TfrmEditor::itmFileMenuCutClick() {}

void TfrmEditor::itmFileMenuCopyClick() {}

void TfrmEditor::itmFileMenuPasteClick() {}

void TfrmEditor::Find1Click() {}

void TfrmEditor::Replace1Click() {}

void TfrmEditor::itmFontClick() {}

void TfrmEditor::itm_wordwrapClick()
{
    if (itm_wordwrap->Checked()) {
        mmoEditor->setWordWrap(false);
        itm_wordwrap->setChecked(false);
    } else {
        mmoEditor->setWordWrap(true);
        itm_wordwrap->setChecked(true);
    }
}

void TfrmEditor::dlgFindFind() {}

void TfrmEditor::dlgReplaceFind() {}

void TfrmEditor::dlgReplaceReplace() {}

int TfrmEditor::ReplaceOnce()
{
    return -1;
}
