#include "forms/fmAbout.h"

#include "host/Dialogs.h"
#include "util/FmxUtils.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace {

// Outer size, frame included.
constexpr QSize kDesignSize(479, 149);

} // namespace

// The resources live in the static library, whose registration the linker would drop.
static void registerPictures()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(orvik);
        return true;
    }();
    Q_UNUSED(registered)
}

TfrmAbout::TfrmAbout(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    registerPictures();
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Ostra Pagloom"));
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setStyleHint(QFont::SansSerif);
    formFont.setPointSize(8);
    setFont(formFont);
    setMouseTracking(true);
    resize(kDesignSize);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(16, 16, 169, 81);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(QPixmap(QStringLiteral(":/orvik/about.png")));

    Label1 = addLabel("Label1", QStringLiteral("Ostra Pagloom Version 2.0"), 200, 8);
    QFont titleFont(QStringLiteral("Times New Roman"));
    titleFont.setStyleHint(QFont::Serif);
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    Label1->adjustSize();
    Label2 = addLabel("Label2", QStringLiteral("Copyright \u00A9 2025 Orvik Software"), 200, 32);
    lblURL = addLabel("lblURL", QStringLiteral("www.orvik.example"), 200, 48);
    lblEmail = addLabel("lblEmail", QStringLiteral("pagloom@orvik.example"), 200, 64);
    for (QLabel *link : {lblURL, lblEmail}) {
        link->setCursor(Qt::PointingHandCursor);
        link->setMouseTracking(true);
        link->installEventFilter(this);
    }

    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(384, 88, 75, 25);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, [this] { done(mrCancel); });

    // Only the box's own surface turns the links back: a move over any control, or a drag
    // that a control ignores, must not reach the box.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        child->setAttribute(Qt::WA_NoMousePropagation);
}

QLabel *TfrmAbout::addLabel(const char *name, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

void TfrmAbout::setHot(QLabel *link, bool hot)
{
    QFont linkFont = font();
    linkFont.setUnderline(hot);
    link->setFont(linkFont);
    QPalette linkPalette = palette();
    if (hot)
        linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    link->setPalette(linkPalette);
}

void TfrmAbout::lblURLMouseMove()
{
    setHot(lblURL, true);
}

void TfrmAbout::lblEmailMouseMove()
{
    setHot(lblEmail, true);
}

void TfrmAbout::FormMouseMove()
{
    setHot(lblURL, false);
    setHot(lblEmail, false);
}

void TfrmAbout::lblURLClick()
{
    ExecuteFile(DefaultWebBrowser, lblURL->text(), QString(), 1);
}

void TfrmAbout::lblEmailClick()
{
    ExecuteFile(DefaultWebBrowser, QStringLiteral("mailto:") + lblEmail->text(), QString(), 1);
}

void TfrmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // Where the frame is already known, the client area gives way so the outer size holds.
    const QSize frame = frameGeometry().size() - size();
    resize(kDesignSize - frame);
    QScreen *where = screen() ? screen() : QGuiApplication::primaryScreen();
    QRect outer(QPoint(), kDesignSize);
    outer.moveCenter(where->availableGeometry().center());
    move(outer.topLeft());
}

void TfrmAbout::keyPressEvent(QKeyEvent *event)
{
    // No control is a cancel button: Escape leaves the box open.
    if (event->matches(QKeySequence::Cancel)) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmAbout::mouseMoveEvent(QMouseEvent *event)
{
    FormMouseMove();
    event->accept();
}

bool TfrmAbout::eventFilter(QObject *watched, QEvent *event)
{
    auto *link = qobject_cast<QLabel *>(watched);
    if (link != lblURL && link != lblEmail)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        link == lblURL ? lblURLMouseMove() : lblEmailMouseMove();
        return true;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        // A click is a release of the left button over the label it was pressed on.
        if (mouse->button() == Qt::LeftButton && link->rect().contains(mouse->position().toPoint()))
            link == lblURL ? lblURLClick() : lblEmailClick();
        return true;
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
}
