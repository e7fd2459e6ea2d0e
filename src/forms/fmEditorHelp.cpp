#include "forms/fmEditor.h"

void TfrmEditor::itmOptionsClick() {}

void TfrmEditor::itmHelpContentsClick() {}

void TfrmEditor::itmAboutClick() {}
