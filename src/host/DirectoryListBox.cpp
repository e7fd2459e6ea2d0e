#include "host/FilePanel.h"

#include "host/DirectoryScan.h"
#include "host/Guard.h"
#include "util/HostError.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListView>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndentPerLevel = 8;

} // namespace

// The entries of a directory list: the path's levels (open folders), then the subdirectories.
class DirectoryModel : public QAbstractListModel
{
public:
    struct Entry
    {
        QString text;
        QString path;
        int level;
        bool open;
    };

    using QAbstractListModel::QAbstractListModel;

    void setEntries(QList<Entry> entries)
    {
        beginResetModel();
        m_entries = std::move(entries);
        endResetModel();
    }
    const Entry &entry(int row) const { return m_entries[row]; }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_entries.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_entries.size())
            return {};
        const Entry &e = m_entries[index.row()];
        switch (role) {
        case Qt::DisplayRole:
            return e.text;
        case Qt::ToolTipRole:
        case Qt::UserRole:
            return e.path;
        case kLevelRole:
            return e.level;
        case Qt::DecorationRole:
            if (m_openIcon.isNull()) {
                m_openIcon = QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon);
                m_closedIcon = QApplication::style()->standardIcon(QStyle::SP_DirClosedIcon);
            }
            return e.open ? m_openIcon : m_closedIcon;
        default:
            return {};
        }
    }

private:
    QList<Entry> m_entries;
    mutable QIcon m_openIcon, m_closedIcon;
};

namespace {

// Indents each entry by its level, as a tree of the path would be.
class LevelDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.adjust(index.data(kLevelRole).toInt() * kIndentPerLevel, 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index)
               + QSize(index.data(kLevelRole).toInt() * kIndentPerLevel, 0);
    }
};

} // namespace

TDirectoryListBox::TDirectoryListBox(Guard &guard, QWidget *parent)
    : QWidget(parent),
      m_guard(guard),
      m_directory(QDir::currentPath()),
      m_view(new QListView(this)),
      m_model(new DirectoryModel(this))
{
    m_view->setModel(m_model);
    m_view->setItemDelegate(new LevelDelegate(m_view));
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setUniformItemSizes(true);
    m_view->setIconSize(QSize(16, 16));
    m_view->installEventFilter(this);
    setFocusProxy(m_view);
    connect(m_view, &QListView::doubleClicked, this,
            [this](const QModelIndex &index) { openEntry(index); });
    readEntries();
}

QAbstractItemView *TDirectoryListBox::view() const
{
    return m_view;
}

void TDirectoryListBox::setDirectory(const QString &dir)
{
    const QString clean = CleanDirectory(dir);
    if (!QFileInfo(clean).isDir())
        throw EHostError(QStringLiteral("Cannot find the directory '%1'").arg(dir));
    if (!QDir::setCurrent(clean))
        throw EHostError(QStringLiteral("Cannot open the directory '%1'").arg(dir));
    m_directory = clean;
    readEntries();
    if (m_driveCombo)
        m_driveCombo->followDirectory(m_directory);
    if (m_fileList)
        m_fileList->setDirectory(m_directory);
}

void TDirectoryListBox::Update()
{
    readEntries();
    if (m_fileList)
        m_fileList->setDirectory(m_directory);
}

void TDirectoryListBox::readEntries()
{
    QList<DirectoryModel::Entry> entries;
    entries.append({QStringLiteral("/"), QStringLiteral("/"), 0, true});
    QString path;
    int level = 0;
    for (const QString &part : m_directory.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + part;
        entries.append({part, path, ++level, true});
    }
    const int current = int(entries.size()) - 1;
    // A directory that has vanished or may not be read simply has no subdirectories to show.
    for (const QString &name : ListSubdirectories(m_directory))
        entries.append({name, JoinPath(m_directory, name), level + 1, false});
    m_model->setEntries(std::move(entries));
    const QModelIndex shown = m_model->index(current);
    m_view->setCurrentIndex(shown);
    m_view->scrollTo(shown);
}

void TDirectoryListBox::openEntry(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const QString path = m_model->entry(index.row()).path;
    m_guard.run([&] {
        try {
            setDirectory(path);
        } catch (...) {
            // The highlight goes back to the directory still shown, and a vanished entry goes.
            readEntries();
            throw;
        }
    });
}

bool TDirectoryListBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openEntry(m_view->currentIndex());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TDirectoryListBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_view->setGeometry(rect());
}
