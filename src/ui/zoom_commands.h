#pragma once

#include <QObject>

class QAction;
class QMenu;

namespace vr5 {

class CVR5XPView;
class SettingsStore;

// View > Zoom In, Zoom Out, Actual Size and Fit Width on the report view. The zoom, however it
// was changed (these commands, their keys, Ctrl+wheel), is remembered for the next start.
class ZoomCommands : public QObject {
    Q_OBJECT
public:
    struct Actions {
        QAction* zoomIn;
        QAction* zoomOut;
        QAction* actualSize;
        QAction* fitWidth;
    };
    ZoomCommands(CVR5XPView& view, SettingsStore& settings, const Actions& actions,
                 QObject* parent = nullptr);

    void addTo(QMenu* menu) const;

private:
    void zoomChanged(int percent);

    CVR5XPView& view_;
    SettingsStore& settings_;
    Actions actions_;
};

}  // namespace vr5
