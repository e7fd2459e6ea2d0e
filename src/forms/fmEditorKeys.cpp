#include "forms/fmEditor.h"

#include "host/EditSurface.h"
#include "host/FindDialog.h"
#include "host/MenuItem.h"
#include "host/PageControl.h"
#include "host/TabStrip.h"

#include <QAction>

void TfrmEditor::createKeyboardCommands()
{
    const std::pair<MenuItem *, QKeyCombination> menuKeys[] = {
        {itmNew, Qt::CTRL | Qt::Key_N},   {itmOpen, Qt::CTRL | Qt::Key_O},
        {itmSave, Qt::CTRL | Qt::Key_S},  {itmSaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S},
        {itmClose, Qt::CTRL | Qt::Key_W}, {Find1, Qt::CTRL | Qt::Key_F},
        {Replace1, Qt::CTRL | Qt::Key_H},
    };
    for (const auto &[item, key] : menuKeys)
        item->action()->setShortcut(key);
    // Exit keeps Ctrl+F4 first, as its menu shows it.
    itmExit->action()->setShortcuts({itmExit->action()->shortcut(), Qt::CTRL | Qt::Key_Q});

    // Commands without a menu item: actions of the window itself.
    const auto addCommand = [this](const char *name, const QString &text,
                                   const QList<QKeySequence> &keys, void (TfrmEditor::*handler)()) {
        auto *action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        addAction(action);
        m_menuItems.emplace_back(std::make_unique<MenuItem>(action, guard))->OnClick =
            [this, handler] { (this->*handler)(); };
    };
    addCommand("actFindNext", QStringLiteral("Find Next"), {Qt::Key_F3},
               &TfrmEditor::actFindNextClick);
    // Ctrl+Shift+Tab arrives as Backtab, or as Tab where the platform says so.
    addCommand("actNextTab", QStringLiteral("Next Tab"), {Qt::CTRL | Qt::Key_Tab},
               &TfrmEditor::actNextTabClick);
    addCommand("actPreviousTab", QStringLiteral("Previous Tab"),
               {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, Qt::CTRL | Qt::SHIFT | Qt::Key_Tab},
               &TfrmEditor::actPreviousTabClick);
    addCommand("actUndo", QStringLiteral("Undo"), {Qt::CTRL | Qt::Key_Z},
               &TfrmEditor::actUndoClick);
    addCommand("actRedo", QStringLiteral("Redo"), {Qt::CTRL | Qt::Key_Y},
               &TfrmEditor::actRedoClick);

    // The window's keys work wherever its keyboard is, the text included.
    QList<QKeySequence> keys;
    for (const QAction *action : findChildren<QAction *>())
        keys += action->shortcuts();
    mmoEditor->releaseKeys(keys);
}

void TfrmEditor::actFindNextClick()
{
    // With nothing to look for yet, the user is asked for it.
    if (dlgFind->FindText().isEmpty())
        Find1->Click();
    else
        dlgFindFind();
}

void TfrmEditor::actNextTabClick()
{
    SwitchTab(1);
}

void TfrmEditor::actPreviousTabClick()
{
    SwitchTab(-1);
}

void TfrmEditor::SwitchTab(int step)
{
    // The tabs are on the Edit page; from the Browse page a switch would leave the preview
    // showing another document.
    const int count = tabFileList->count();
    if (pgpEditor->activePage() != shtEdit || count < 2)
        return;
    bool allowChange = true;
    tabFileListChanging(allowChange);
    tabFileList->setTabIndex((tabFileList->tabIndex() + step + count) % count);
    tabFileListChange();
}

// Undo and redo touch only the text in view, never a document behind the Browse page.
void TfrmEditor::actUndoClick()
{
    if (pgpEditor->activePage() == shtEdit)
        mmoEditor->undo();
}

void TfrmEditor::actRedoClick()
{
    if (pgpEditor->activePage() == shtEdit)
        mmoEditor->redo();
}
