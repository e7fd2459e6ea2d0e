#include "host/FilePanel.h"

#include "host/Guard.h"
#include "host/Volumes.h"

#include <QComboBox>

namespace {

// A combo box that lists the volumes afresh each time its drop-down opens, so that a volume
// mounted after start-up can be chosen.
class VolumeBox : public QComboBox
{
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;

    void showPopup() override
    {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

bool isUnder(const QString &dir, const QString &root)
{
    return root == QLatin1String("/") || dir == root || dir.startsWith(root + QLatin1Char('/'));
}

} // namespace

TDriveComboBox::TDriveComboBox(Guard &guard, QWidget *parent) : QWidget(parent), m_guard(guard)
{
    setObjectName(QStringLiteral("drvCombo"));
    auto *box = new VolumeBox(this);
    box->beforePopup = [this] { listVolumes(); };
    m_box = box;
    setFocusProxy(m_box);
    listVolumes();
    connect(m_box, &QComboBox::activated, this, [this](int index) { choose(index); });
}

void TDriveComboBox::setDirList(TDirectoryListBox *list)
{
    m_dirList = list;
    if (list) {
        list->m_driveCombo = this;
        followDirectory(list->Directory());
    }
}

void TDriveComboBox::Update()
{
    update();
    m_box->update();
}

QString TDriveComboBox::volume() const
{
    return m_box->currentData().toString();
}

void TDriveComboBox::listVolumes()
{
    const QString shown = m_dirList ? m_dirList->Directory() : QString();
    m_box->clear();
    for (const VolumePlace &place : BrowsableVolumes())
        m_box->addItem(place.text, place.root);
    selectVolumeOf(shown);
}

void TDriveComboBox::selectVolumeOf(const QString &dir)
{
    int best = 0;
    qsizetype bestLength = -1;
    for (int i = 0; i < m_box->count(); ++i) {
        const QString root = m_box->itemData(i).toString();
        if (isUnder(dir, root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    m_box->setCurrentIndex(best);
}

void TDriveComboBox::followDirectory(const QString &dir)
{
    selectVolumeOf(dir);
    m_current.insert(volume(), dir);
}

void TDriveComboBox::choose(int index)
{
    const QString root = m_box->itemData(index).toString();
    m_guard.run([&] {
        if (!m_dirList)
            return;
        const QString target = m_current.value(root, root);
        try {
            m_dirList->setDirectory(target);
        } catch (...) {
            // Back to the box showing where the list still is, whatever happens next.
            selectVolumeOf(m_dirList->Directory());
            if (target == root)
                throw;
            // The directory last shown there has gone: the volume's root is the next best.
            m_dirList->setDirectory(root);
        }
    });
}

void TDriveComboBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_box->setGeometry(rect());
}

TFilterComboBox::TFilterComboBox(Guard &guard, QWidget *parent)
    : QWidget(parent), m_guard(guard), m_box(new QComboBox(this))
{
    setObjectName(QStringLiteral("cboFilter"));
    setFocusProxy(m_box);
    setFilter(QStringLiteral("Web Documents (*.htm; *.html)|*.htm*|All Files (*.*)|*.*"));
    connect(m_box, &QComboBox::activated, this, [this](int index) {
        m_guard.run([&] {
            if (m_fileList && index >= 0 && index < m_masks.size())
                m_fileList->setMask(m_masks[index]);
        });
    });
}

void TFilterComboBox::setFilter(const QString &filter)
{
    m_box->clear();
    m_masks.clear();
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        m_box->addItem(parts[i]);
        m_masks << parts[i + 1];
    }
    m_box->setCurrentIndex(m_masks.isEmpty() ? -1 : 0);
}

QString TFilterComboBox::Mask() const
{
    const int i = m_box->currentIndex();
    return i >= 0 && i < m_masks.size() ? m_masks[i] : QStringLiteral("*.*");
}

void TFilterComboBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_box->setGeometry(rect());
}
