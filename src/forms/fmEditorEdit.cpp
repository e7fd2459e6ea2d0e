#include "forms/fmEditor.h"

#include "host/Clipboard.h"
#include "host/Dialogs.h"
#include "host/EditSurface.h"
#include "host/FindDialog.h"
#include "host/MenuItem.h"
#include "host/SettingsStore.h"

namespace {

// Find Next: the first occurrence after the selection, or from the top when nothing is selected.
// A hit takes the keyboard into the editor's window, so that typing replaces it; the dialog stays.
void FindNext(QWidget &window, EditSurface &editor, const QString &text)
{
    const int start = editor.selLength() != 0 ? editor.selStart() + editor.selLength() : 0;
    const int pos = editor.findText(text, start, editor.textLength() - start);
    if (pos == -1)
        return;
    editor.setFocus();
    window.activateWindow();
    editor.setSelStart(pos);
    editor.setSelLength(editor.characterCount(text));
}

} // namespace

void TfrmEditor::createEditingDialogs()
{
    dlgFind = new FindDialog(FindDialog::Kind::Find, guard, this);
    dlgReplace = new FindDialog(FindDialog::Kind::Replace, guard, this);
    dlgFind->OnFind = [this] { dlgFindFind(); };
    dlgReplace->OnFind = [this] { dlgReplaceFind(); };
    dlgReplace->OnReplace = [this] { dlgReplaceReplace(); };
}

void TfrmEditor::itmFileMenuCutClick()
{
    const QString text = mmoEditor->selText();
    if (text.isEmpty())
        return;
    Clipboard::SetAsText(text);
    mmoEditor->clearSelection();
}

void TfrmEditor::itmFileMenuCopyClick()
{
    const QString text = mmoEditor->selText();
    if (text.isEmpty())
        return;
    Clipboard::SetAsText(text);
}

void TfrmEditor::itmFileMenuPasteClick()
{
    if (!Clipboard::HasText())
        return;
    mmoEditor->setSelTextBuf(Clipboard::AsText());
}

void TfrmEditor::Find1Click()
{
    dlgFind->Execute();
}

void TfrmEditor::Replace1Click()
{
    dlgReplace->Execute();
}

void TfrmEditor::itmFontClick()
{
    const std::optional<EditorFont> chosen = m_dialogs.executeFont(mmoEditor->font());
    if (!chosen)
        return;
    mmoEditor->setFont(*chosen);

    // Stored at once; a failing write ends the command with the font already applied.
    SettingsStore store;
    try {
        store.OpenKey(QString::fromLatin1(kSettingsKey), true);
    } catch (const std::exception &) {
        // Every write below then fails and reports the value it was for.
    }
    store.WriteInteger(QStringLiteral("Bold"), chosen->bold ? 1 : 0);
    store.WriteInteger(QStringLiteral("Italic"), chosen->italic ? 1 : 0);
    store.WriteString(QStringLiteral("FontName"), chosen->name);
    store.WriteInteger(QStringLiteral("FontSize"), chosen->size);
    store.CloseKey();
}

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

void TfrmEditor::dlgFindFind()
{
    FindNext(*this, *mmoEditor, dlgFind->FindText());
}

void TfrmEditor::dlgReplaceFind()
{
    FindNext(*this, *mmoEditor, dlgReplace->FindText());
}

void TfrmEditor::dlgReplaceReplace()
{
    const TFindOptions options = dlgReplace->Options();
    if (options & frReplace) {
        if (ReplaceOnce() == -1)
            m_dialogs.showMessage(QStringLiteral("Text not found"));
    } else if (options & frReplaceAll) {
        // Repeating ReplaceOnce would never end when the replacement contains the search text,
        // and costs a pass over the text per occurrence: the surface does it in one sweep.
        const int start = mmoEditor->selLength() != 0 ? mmoEditor->selStart() : 0;
        const QString text = dlgReplace->FindText();
        if (mmoEditor->findText(text, start, mmoEditor->textLength() - start) == -1)
            return;
        mmoEditor->setFocus();
        mmoEditor->replaceAll(text, dlgReplace->ReplaceText(), start);
    }
}

int TfrmEditor::ReplaceOnce()
{
    const int start = mmoEditor->selLength() != 0 ? mmoEditor->selStart() : 0;
    const QString text = dlgReplace->FindText();
    const int pos = mmoEditor->findText(text, start, mmoEditor->textLength() - start);
    if (pos == -1)
        return -1;
    mmoEditor->setFocus();
    mmoEditor->setSelStart(pos);
    mmoEditor->setSelLength(mmoEditor->characterCount(text));
    mmoEditor->setSelText(dlgReplace->ReplaceText());
    return pos;
}
