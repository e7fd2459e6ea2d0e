#include "host/FilePanel.h"

#include "host/DirectoryScan.h"
#include "host/Guard.h"
#include "util/HostError.h"

#include <QAbstractListModel>
#include <QDir>
#include <QFileInfo>
#include <QListView>
#include <QKeyEvent>
#include <QMouseEvent>

// The names of a file list; a flat model keeps a directory of 100,000 files cheap to show.
class NameListModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    void setNames(QStringList names)
    {
        beginResetModel();
        m_names = std::move(names);
        endResetModel();
    }
    const QStringList &names() const { return m_names; }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_names.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_names.size())
            return {};
        return m_names[index.row()];
    }

private:
    QStringList m_names;
};

TFileListBox::TFileListBox(Guard &guard, QWidget *parent)
    : QWidget(parent),
      m_guard(guard),
      m_directory(QDir::currentPath()),
      m_view(new QListView(this)),
      m_model(new NameListModel(this))
{
    setObjectName(QStringLiteral("FileList"));
    m_view->setModel(m_model);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setUniformItemSizes(true);
    m_view->viewport()->installEventFilter(this);
    m_view->installEventFilter(this);
    setFocusProxy(m_view);
    readFileNames();
}

void TFileListBox::ApplyFilePath(const QString &path)
{
    if (path.isEmpty() || path == FileName())
        return;
    QString dirPart = path;
    QString filePart;
    if (!QFileInfo(path).isDir()) {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        dirPart = slash < 0    ? QStringLiteral(".")
                  : slash == 0 ? QStringLiteral("/")
                               : path.left(slash);
        filePart = path.mid(slash + 1);
    }
    // The directory moves first, even when the last part then turns out to name nothing.
    if (m_dirList) {
        m_dirList->setDirectory(dirPart);
    } else {
        if (!QFileInfo(dirPart).isDir())
            throw EHostError(QStringLiteral("Cannot find the directory '%1'").arg(dirPart));
        setDirectory(dirPart);
    }
    if (filePart.isEmpty())
        return;
    if (filePart.contains(QLatin1Char('*')) || filePart.contains(QLatin1Char('?'))) {
        setMask(filePart);
        return;
    }
    if (!QFileInfo(JoinPath(m_directory, filePart)).isFile())
        throw EHostError(QStringLiteral("Invalid file name - %1").arg(path));
    if (selectName(filePart))
        return;
    // The mask hides the file: its own name becomes the mask, so it is listed alone.
    m_mask = filePart;
    m_maskIsName = true;
    readFileNames();
    selectName(filePart);
}

QString TFileListBox::FileName() const
{
    const int row = ItemIndex();
    return row < 0 ? QString() : JoinPath(m_directory, m_model->names().at(row));
}

void TFileListBox::setDirectory(const QString &dir)
{
    const QString clean = CleanDirectory(dir);
    if (clean == m_directory)
        return;
    m_directory = clean;
    readFileNames();
}

void TFileListBox::setMask(const QString &mask)
{
    m_mask = mask;
    m_maskIsName = false;
    readFileNames();
}

void TFileListBox::Update()
{
    readFileNames();
}

void TFileListBox::readFileNames()
{
    const int row = ItemIndex();
    const QString selected = row < 0 ? QString() : m_model->names().at(row);
    m_model->setNames(
        ListFiles(m_directory, m_maskIsName ? FileMask::exactName(m_mask) : FileMask(m_mask)));
    if (!selected.isEmpty())
        selectName(selected);
}

bool TFileListBox::selectName(const QString &name)
{
    const int row = int(m_model->names().indexOf(name));
    if (row < 0)
        return false;
    setItemIndex(row);
    return true;
}

QStringList TFileListBox::Items() const
{
    return m_model->names();
}

int TFileListBox::ItemIndex() const
{
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TFileListBox::setItemIndex(int index)
{
    if (index < 0 || index >= m_model->rowCount()) {
        m_view->clearSelection();
        return;
    }
    const QModelIndex item = m_model->index(index);
    m_view->selectionModel()->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
    m_view->scrollTo(item);
}

QAbstractItemView *TFileListBox::view() const
{
    return m_view;
}

bool TFileListBox::eventFilter(QObject *watched, QEvent *event)
{
    const bool doubleClick = watched == m_view->viewport()
                             && event->type() == QEvent::MouseButtonDblClick
                             && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
    // Enter opens the file as a double-click does, for those who work with the keyboard.
    const bool enter = watched == m_view && event->type() == QEvent::KeyPress
                       && (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return
                           || static_cast<QKeyEvent *>(event)->key() == Qt::Key_Enter);
    if (doubleClick || enter) {
        m_guard.run([this] {
            if (OnDblClick)
                OnDblClick();
        });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TFileListBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_view->setGeometry(rect());
}
