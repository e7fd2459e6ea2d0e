#include "forms/fmEditor.h"

#include "app/unCommon.h"
#include "docs/RecoveryStore.h"
#include "host/BrowserView.h"
#include "host/Dialogs.h"
#include "host/EditSurface.h"
#include "host/FileDrop.h"
#include "host/FilePanel.h"
#include "host/Icons.h"
#include "host/MenuItem.h"
#include "host/PageControl.h"
#include "host/TabStrip.h"
#include "util/UserDirs.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTabBar>
#include <QTimer>
#include <QCloseEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

TfrmEditor::TfrmEditor(Dialogs &dialogs, const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_arguments(arguments), guard(dialogs)
{
    setObjectName(QStringLiteral("frmEditor"));
    setWindowTitle(QStringLiteral("Ostra Pagloom"));
    setWindowIcon(ApplicationIcon());
    resize(814, 575);
    createControls();
    createMenus();
    createToolBar();
    createKeyboardCommands();
    wireEvents();
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    // On the right, where menu and tool-bar hints passing over the bar leave it in view.
    lblColouring = new QLabel(statusBar());
    lblColouring->setObjectName(QStringLiteral("lblColouring"));
    statusBar()->addPermanentWidget(lblColouring);
    lblColouring->hide();
    qApp->installEventFilter(this);
    m_recovery = std::make_unique<RecoveryStore>(RecoveryDirectory());
    m_recoveryTimer = new QTimer(this);
    m_recoveryTimer->setSingleShot(true);
    connect(m_recoveryTimer, &QTimer::timeout, this, [this] { UpdateRecoveryCopies(); });
    guard.run([this] { FormCreate(); });
    // The keyboard starts in the text, wherever the window's controls come in tab order.
    mmoEditor->widget()->setFocus();
}

TfrmEditor::~TfrmEditor()
{
    FormDestroy();
}

void TfrmEditor::createControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    drvCombo = new TDriveComboBox(guard, client);
    drvCombo->setGeometry(0, 32, 136, 19);
    DIRList = new TDirectoryListBox(guard, client);
    DIRList->setObjectName(QStringLiteral("DIRList"));
    DIRList->setGeometry(0, 51, 136, 98);
    cboFilter = new TFilterComboBox(guard, client);
    cboFilter->setGeometry(0, 150, 136, 21);
    FileList = new TFileListBox(guard, client);
    FileList->setGeometry(0, 172, 136, 354);
    DirListFilePath = new TDirectoryListBox(guard, client);
    DirListFilePath->setObjectName(QStringLiteral("DirListFilePath"));
    DirListFilePath->setGeometry(152, 171, 136, 98);
    DirListFilePath->hide();
    drvCombo->setDirList(DIRList);
    DIRList->setFileList(FileList);
    cboFilter->setFileList(FileList);
    FileList->setDirList(DIRList);

    pgpEditor = new PageControl(guard, client);
    pgpEditor->setGeometry(135, 32, 655, 494);
    shtEdit = pgpEditor->addPage(QStringLiteral("shtEdit"), QStringLiteral("&Edit"));
    shtBrowse = pgpEditor->addPage(QStringLiteral("shtBrowse"), QStringLiteral("&Browse"));

    tabFileList = new TabStrip(guard, shtEdit);
    tabFileList->setGeometry(-1, -2, 650, 468);
    tabFileList->add(QStringLiteral("Untitled"));
    tabFileList->setTabIndex(0);
    mmoEditor = new EditSurface(guard, tabFileList);
    mmoEditor->widget()->setGeometry(1, 1, 645, 446);

    webBrowser = new BrowserView(shtBrowse);
    webBrowser->setGeometry(0, 0, 641, 466);
    createEditingDialogs();
    fileDrop = new FileDropTarget(guard, this);
}

MenuItem *TfrmEditor::addItem(QMenu *menu, const char *name, const QString &caption,
                              const QString &hint)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) {
        action->setStatusTip(hint);
        action->setToolTip(hint);
    }
    menu->addAction(action);
    return m_menuItems.emplace_back(std::make_unique<MenuItem>(action, guard)).get();
}

void TfrmEditor::createMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("mnuEditor"));

    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    itmNew = addItem(file, "itmNew", QStringLiteral("&New"), QStringLiteral("New File"));
    file->addSeparator()->setObjectName(QStringLiteral("N2"));
    itmOpen = addItem(file, "itmOpen", QStringLiteral("&Open..."),
                      QStringLiteral("Open HTML File..."));
    file->addSeparator()->setObjectName(QStringLiteral("N3"));
    itmSave = addItem(file, "itmSave", QStringLiteral("&Save"), QStringLiteral("Save File"));
    itmSaveAs = addItem(file, "itmSaveAs", QStringLiteral("Save &As..."),
                        QStringLiteral("Save File As..."));
    itmSaveAll = addItem(file, "itmSaveAll", QStringLiteral("Save A&ll"),
                         QStringLiteral("Save All Open Files"));
    file->addSeparator()->setObjectName(QStringLiteral("N4"));
    itmClose = addItem(file, "itmClose", QStringLiteral("&Close"));
    file->addSeparator()->setObjectName(QStringLiteral("N5"));
    itmExit = addItem(file, "itmExit", QStringLiteral("E&xit"));
    itmExit->action()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    itmExit->action()->setShortcutContext(Qt::ApplicationShortcut);

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    itmFileMenuCut = addItem(edit, "itmFileMenuCut", QStringLiteral("Cu&t"));
    itmFileMenuCopy = addItem(edit, "itmFileMenuCopy", QStringLiteral("&Copy"));
    itmFileMenuPaste = addItem(edit, "itmFileMenuPaste", QStringLiteral("&Paste"));
    edit->addSeparator()->setObjectName(QStringLiteral("N6"));
    Find1 = addItem(edit, "Find1", QStringLiteral("&Find..."));
    Replace1 = addItem(edit, "Replace1", QStringLiteral("&Replace..."));
    edit->addSeparator()->setObjectName(QStringLiteral("N7"));
    itmFont = addItem(edit, "itmFont", QStringLiteral("Fon&t"));
    itmOptions = addItem(edit, "itmOptions", QStringLiteral("&Options"));
    itmOptions->action()->setEnabled(false);

    QMenu *options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    itm_wordwrap = addItem(options, "itm_wordwrap", QStringLiteral("&Word-wrap"),
                           QStringLiteral("Word-wrap text in editor window"));
    itm_wordwrap->action()->setCheckable(true);
    itm_wordwrap->setChecked(true);

    bar->addMenu(QStringLiteral("&Tools"))->setObjectName(QStringLiteral("itmTools"));
    bar->addMenu(QStringLiteral("&Window"))->setObjectName(QStringLiteral("itmWindow"));

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    itmHelpContents = addItem(help, "itmHelpContents", QStringLiteral("&Contents..."));
    help->addSeparator()->setObjectName(QStringLiteral("N1"));
    itmAbout = addItem(help, "itmAbout", QStringLiteral("&About..."));

    mnuPopEditor = new QMenu(this);
    mnuPopEditor->setObjectName(QStringLiteral("mnuPopEditor"));
    itmPopMenuCut = addItem(mnuPopEditor, "itmPopMenuCut", QStringLiteral("Cu&t"));
    itmPopMenuCopy = addItem(mnuPopEditor, "itmPopMenuCopy", QStringLiteral("&Copy"));
    itmPopMenuPaste = addItem(mnuPopEditor, "itmPopMenuPaste", QStringLiteral("&Paste"));
    mnuPopEditor->addSeparator()->setObjectName(QStringLiteral("N8"));
    itmClosePage = addItem(mnuPopEditor, "itmClosePage", QStringLiteral("Close Page"));
    mmoEditor->setPopupMenu(mnuPopEditor);

    mnuDriveRefresh = new QMenu(this);
    mnuDriveRefresh->setObjectName(QStringLiteral("mnuDriveRefresh"));
    Refresh1 = addItem(mnuDriveRefresh, "Refresh1", QStringLiteral("&Refresh"));
    for (QWidget *w : {static_cast<QWidget *>(drvCombo), static_cast<QWidget *>(DIRList),
                       static_cast<QWidget *>(FileList), static_cast<QWidget *>(DirListFilePath)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint &pos) { mnuDriveRefresh->exec(w->mapToGlobal(pos)); });
    }
}

void TfrmEditor::createToolBar()
{
    toolbar = new QToolBar(centralWidget());
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbar->setGeometry(0, 0, 806, 33);

    const auto addButton = [this](MenuItem *item, const char *name, ToolIcon icon) {
        item->action()->setIcon(ToolBarIcon(icon));
        toolbar->addAction(item->action());
        QWidget *button = toolbar->widgetForAction(item->action());
        button->setObjectName(QString::fromLatin1(name));
        button->setFixedWidth(25);
    };
    addButton(itmNew, "btnNew", ToolIcon::New);
    toolbar->addSeparator()->setObjectName(QStringLiteral("ToolButton4"));
    addButton(itmOpen, "btnOpen", ToolIcon::Open);
    toolbar->addSeparator()->setObjectName(QStringLiteral("ToolButton5"));
    addButton(itmSave, "btnSave", ToolIcon::Save);
    addButton(itmSaveAll, "btnSaveAll", ToolIcon::SaveAll);
}

void TfrmEditor::wireEvents()
{
    itmNew->OnClick = [this] { itmNewClick(); };
    itmOpen->OnClick = [this] { itmOpenClick(); };
    itmSave->OnClick = [this] { itmSaveClick(); };
    itmSaveAs->OnClick = [this] { itmSaveAsClick(); };
    itmSaveAll->OnClick = [this] { itmSaveAllClick(); };
    itmClose->OnClick = [this] { itmCloseClick(); };
    itmExit->OnClick = [this] { itmExitClick(); };
    itmFileMenuCut->OnClick = [this] { itmFileMenuCutClick(); };
    itmFileMenuCopy->OnClick = [this] { itmFileMenuCopyClick(); };
    itmFileMenuPaste->OnClick = [this] { itmFileMenuPasteClick(); };
    Find1->OnClick = [this] { Find1Click(); };
    Replace1->OnClick = [this] { Replace1Click(); };
    itmFont->OnClick = [this] { itmFontClick(); };
    itmOptions->OnClick = [this] { itmOptionsClick(); };
    itm_wordwrap->OnClick = [this] { itm_wordwrapClick(); };
    itmHelpContents->OnClick = [this] { itmHelpContentsClick(); };
    itmAbout->OnClick = [this] { itmAboutClick(); };
    itmPopMenuCut->OnClick = [this] { itmFileMenuCutClick(); };
    itmPopMenuCopy->OnClick = [this] { itmFileMenuCopyClick(); };
    itmPopMenuPaste->OnClick = [this] { itmFileMenuPasteClick(); };
    itmClosePage->OnClick = [this] { itmClosePageClick(); };
    Refresh1->OnClick = [this] { Refresh1Click(); };

    tabFileList->OnChanging = [this](bool &allow) { tabFileListChanging(allow); };
    tabFileList->OnChange = [this] { tabFileListChange(); };
    mmoEditor->OnChange = [this] { mmoEditorChange(); };
    mmoEditor->OnLongLine = [this](const QString &notice) {
        m_longLineNotice = notice;
        statusBar()->showMessage(notice);
    };
    pgpEditor->OnChange = [this] { pgpEditorChange(); };
    FileList->OnDblClick = [this] { FileListDblClick(); };
    fileDrop->OnDropFile = [this](const QString &path) { FormDropFile(path); };
}

void TfrmEditor::FormCreate()
{
    InitializeEditor(*this);
}

void TfrmEditor::FormShow()
{
    FormResize();
}

void TfrmEditor::FormClose()
{
    SaveSettings(*this);
}

void TfrmEditor::FormDestroy()
{
    DocumentList.reset();
}

void TfrmEditor::Close()
{
    if (m_closeDepth > 0) {
        // The window is already closing: this is the inner close that Exit makes from
        // inside the first one; it runs the close handler once more.
        FormClose();
        return;
    }
    QMainWindow::close();
}

void TfrmEditor::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    guard.run([this] { FormShow(); });
}

void TfrmEditor::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    guard.run([this] { FormResize(); });
}

void TfrmEditor::closeEvent(QCloseEvent *event)
{
    ++m_closeDepth;
    guard.run([this] { FormClose(); });
    --m_closeDepth;
    // Exit clears Exiting again when a document the user chose to save is still unsaved:
    // only then does the window stay open.
    event->setAccepted(Exiting);
}

bool TfrmEditor::event(QEvent *event)
{
    // A hint ends with an empty one, which would wipe the notice for the text in view.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        statusBar()->showMessage(tip.isEmpty() ? m_longLineNotice : tip);
        return true;
    }
    return QMainWindow::event(event);
}

bool TfrmEditor::eventFilter(QObject *watched, QEvent *event)
{
    // Without a window manager nobody hands the keyboard back to this window: not after the
    // browser view makes Qt re-create it for its drawing, nor after a dialog closes.
    const bool recreated = watched == this && event->type() == QEvent::WinIdChange;
    const bool dialogClosed = watched != this && event->type() == QEvent::Hide
                              && watched->isWidgetType()
                              && static_cast<QWidget *>(watched)->isWindow();
    if ((recreated || dialogClosed) && isVisible()) {
        QTimer::singleShot(0, this, [this, recreated] {
            const QWidget *active = QApplication::activeWindow();
            if (isVisible() && (recreated || !active || !active->isVisible()))
                activateWindow();
        });
        return false;
    }
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    const auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this || !isActiveWindow())
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() != Qt::AltModifier || key->key() != Qt::Key_E)
        return false;
    // Alt+E names both the Edit menu and the Edit page, and Qt acts on neither when two
    // shortcuts clash. The page wins while the Browse page is in front; otherwise the menu.
    event->accept();
    if (event->type() == QEvent::KeyPress) {
        if (pgpEditor->activePage() == shtBrowse)
            pgpEditor->bar()->setCurrentIndex(0); // as the user's switch, raising OnChange
        else if (QAction *edit = menuBar()->actions().value(1))
            menuBar()->setActiveAction(edit);
    }
    return true;
}

QString TfrmEditor::TabCaption(const THTMLInfo &record)
{
    return record.Saved ? record.FileName : QStringLiteral("* - ") + record.FileName;
}

THTMLInfo &TfrmEditor::LookUpCurrentDocument()
{
    CurrentDocument = DocumentList->Items(tabFileList->tabIndex());
    return *CurrentDocument;
}
