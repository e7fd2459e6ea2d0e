#include "host/MessageBox.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace {

struct ButtonSpec
{
    TMsgDlgBtn which;
    const char *caption;
    QMessageBox::ButtonRole role;
    ModalResult result;
};

// Their mnemonics also answer as bare letters, which QMessageBox does for its buttons.
const ButtonSpec kButtons[] = {
    {mbYes, "&Yes", QMessageBox::YesRole, mrYes},
    {mbNo, "&No", QMessageBox::NoRole, mrNo},
    {mbOK, "OK", QMessageBox::AcceptRole, mrOk},
    {mbCancel, "Cancel", QMessageBox::RejectRole, mrCancel},
};

} // namespace

QMessageBox::Icon IconOfType(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning:
        return QMessageBox::Warning;
    case TMsgDlgType::mtError:
        return QMessageBox::Critical;
    case TMsgDlgType::mtInformation:
        return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

MessageBox::MessageBox(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                       TMsgDlgButtons buttons)
    : QMessageBox(icon, caption, text, NoButton, parent)
{
    setObjectName(QStringLiteral("MessageDlg"));
    setTextFormat(Qt::PlainText);
    for (const ButtonSpec &spec : kButtons) {
        if (!(buttons & spec.which))
            continue;
        QPushButton *b = addButton(QString::fromLatin1(spec.caption), spec.role);
        b->setObjectName(QString::fromLatin1(spec.caption).remove(QLatin1Char('&')));
        m_buttons.append({spec.which, b});
    }
    // Enter presses OK if shown, else Yes; Escape presses Cancel if shown, else No, else OK.
    if (QAbstractButton *def = buttonFor(mbOK) ? buttonFor(mbOK) : buttonFor(mbYes))
        setDefaultButton(static_cast<QPushButton *>(def));
    setEscapeButton(buttonFor(mbCancel) ? buttonFor(mbCancel)
                    : buttonFor(mbNo)   ? buttonFor(mbNo)
                                        : buttonFor(mbOK));
}

QAbstractButton *MessageBox::buttonFor(TMsgDlgBtn which) const
{
    for (const auto &[w, b] : m_buttons)
        if (w == which)
            return b;
    return nullptr;
}

ModalResult MessageBox::run()
{
    m_closedByFrame = false;
    exec();
    if (m_closedByFrame)
        return mrCancel;
    for (const ButtonSpec &spec : kButtons)
        if (clickedButton() && clickedButton() == buttonFor(spec.which))
            return spec.result;
    return mrCancel;
}

void MessageBox::showEvent(QShowEvent *event)
{
    QMessageBox::showEvent(event); // settles the size
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void MessageBox::closeEvent(QCloseEvent *event)
{
    // QMessageBox counts the frame's close as its Escape button; here it is a result of its own.
    const bool unanswered = !clickedButton();
    QMessageBox::closeEvent(event);
    m_closedByFrame = unanswered && event->isAccepted();
}
