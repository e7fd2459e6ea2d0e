#include "host/MessageBox.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QStyle::StandardPixmap pixmapOf(MessageBox::Icon icon)
{
    switch (icon) {
    case MessageBox::Icon::Warning: return QStyle::SP_MessageBoxWarning;
    case MessageBox::Icon::Stop: return QStyle::SP_MessageBoxCritical;
    case MessageBox::Icon::Information: return QStyle::SP_MessageBoxInformation;
    case MessageBox::Icon::Question: return QStyle::SP_MessageBoxQuestion;
    case MessageBox::Icon::None: break;
    }
    return QStyle::SP_CustomBase;
}

struct ButtonSpec
{
    TMsgDlgBtn which;
    const char *caption;
    ModalResult result;
};

const ButtonSpec kButtons[] = {
    {mbYes, "&Yes", mrYes},
    {mbNo, "&No", mrNo},
    {mbOK, "OK", mrOk},
    {mbCancel, "Cancel", mrCancel},
};

} // namespace

MessageBox::Icon IconOfType(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return MessageBox::Icon::Warning;
    case TMsgDlgType::mtError: return MessageBox::Icon::Stop;
    case TMsgDlgType::mtInformation: return MessageBox::Icon::Information;
    case TMsgDlgType::mtConfirmation: return MessageBox::Icon::Question;
    }
    return MessageBox::Icon::None;
}

MessageBox::MessageBox(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                       TMsgDlgButtons buttons)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("MessageDlg"));
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);

    auto *textRow = new QHBoxLayout;
    if (icon != Icon::None) {
        auto *iconLabel = new QLabel(this);
        iconLabel->setObjectName(QStringLiteral("icon"));
        const int extent = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        iconLabel->setPixmap(style()->standardIcon(pixmapOf(icon), nullptr, this).pixmap(extent));
        iconLabel->setAlignment(Qt::AlignTop);
        textRow->addWidget(iconLabel);
    }
    auto *textLabel = new QLabel(text, this);
    textLabel->setObjectName(QStringLiteral("text"));
    textLabel->setTextFormat(Qt::PlainText);
    textRow->addWidget(textLabel, 1);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    for (const ButtonSpec &spec : kButtons) {
        if (!(buttons & spec.which))
            continue;
        auto *b = new QPushButton(QString::fromLatin1(spec.caption), this);
        b->setObjectName(QString::fromLatin1(spec.caption).remove(QLatin1Char('&')));
        const ModalResult result = spec.result;
        connect(b, &QPushButton::clicked, this, [this, result] { finish(result); });
        buttonRow->addWidget(b);
        m_buttons.append({spec.which, b});
    }
    buttonRow->addStretch();

    // Enter presses OK if shown, else Yes; Escape presses Cancel if shown, else No, else OK.
    if (QPushButton *def = button(mbOK) ? button(mbOK) : button(mbYes)) {
        def->setDefault(true);
        def->setFocus();
    }
    m_escapeResult = button(mbCancel) ? mrCancel
                     : button(mbNo)   ? mrNo
                     : button(mbOK)   ? mrOk
                                      : mrCancel;

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(textRow);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QPushButton *MessageBox::button(TMsgDlgBtn which) const
{
    for (const auto &[w, b] : m_buttons)
        if (w == which)
            return b;
    return nullptr;
}

ModalResult MessageBox::run()
{
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_result = mrCancel;
    exec();
    return m_result;
}

void MessageBox::finish(ModalResult result)
{
    m_result = result;
    done(result);
}

void MessageBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        finish(m_escapeResult);
        return;
    }
    QDialog::keyPressEvent(event);
}

void MessageBox::closeEvent(QCloseEvent *event)
{
    m_result = mrCancel;
    QDialog::closeEvent(event);
}
