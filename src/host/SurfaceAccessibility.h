// Keeps the editing component's accessibility layer quiet while no assistive tool listens.
#pragma once

#include <QObject>

// The component tells assistive tools about every change and caret move in character offsets,
// and finds each offset by counting every character from the start of the text: at the end
// of a 64 MiB text a caret move cost 280 ms and a typed character 600 ms, for nobody to hear.
// While no tool is active, editors get Qt's plain interface for an editable widget, and the
// surface asks for no change reports but the ones sent before a change (which carry no offset).
// When a tool becomes active, the component's full interface and reports come back.
class SurfaceAccessibility : public QObject
{
    Q_OBJECT
public:
    // The one instance, installed on first use.
    static SurfaceAccessibility &instance();
    static bool toolsListening();

signals:
    void listeningChanged(bool listening);

private:
    SurfaceAccessibility();
};
