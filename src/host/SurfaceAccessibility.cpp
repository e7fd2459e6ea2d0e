#include "host/SurfaceAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>

namespace {

// As the platform last said; it tells the observers below when a tool starts or stops.
bool listening = false;

QList<QPointer<QWidget>> &plainEditors()
{
    static QList<QPointer<QWidget>> editors;
    return editors;
}

// Asked before the component's own factory, which answers only for its base class.
QAccessibleInterface *plainEditor(const QString &className, QObject *object)
{
    if (className != QLatin1String("QsciScintilla") || !object || !object->isWidgetType()
        || listening)
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    plainEditors().append(widget);
    return new QAccessibleWidget(widget, QAccessible::EditableText);
}

class ActivationObserver final : public QAccessible::ActivationObserver
{
public:
    void accessibilityActiveChanged(bool active) override
    {
        listening = active;
        if (active) {
            // Interfaces are kept per widget; dropping the plain ones lets the next query make
            // the component's full interface.
            for (const QPointer<QWidget> &editor : std::as_const(plainEditors()))
                if (editor)
                    if (QAccessibleInterface *plain = QAccessible::queryAccessibleInterface(editor))
                        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(plain));
            plainEditors().clear();
        }
        emit SurfaceAccessibility::instance().listeningChanged(active);
    }
};

} // namespace

SurfaceAccessibility::SurfaceAccessibility()
{
    listening = QAccessible::isActive();
    QAccessible::installFactory(plainEditor);
    static ActivationObserver observer;
    QAccessible::installActivationObserver(&observer);
}

SurfaceAccessibility &SurfaceAccessibility::instance()
{
    static SurfaceAccessibility accessibility;
    return accessibility;
}

bool SurfaceAccessibility::toolsListening()
{
    instance();
    return listening;
}
