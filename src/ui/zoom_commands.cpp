#include "ui/zoom_commands.h"

#include <QAction>
#include <QMenu>

#include "page/zoom.h"
#include "settings/settings_keys.h"
#include "ui/vr5xp_view.h"

namespace vr5 {

ZoomCommands::ZoomCommands(CVR5XPView& view, SettingsStore& settings, const Actions& actions,
                           QObject* parent)
    : QObject(parent), view_(view), settings_(settings), actions_(actions) {
    // Ctrl++ and Ctrl+- as the system names them, and the keys a US keyboard types them with
    // without Shift; Ctrl+0 for true size, as browsers and viewers have it.
    actions_.zoomIn->setShortcuts(QList<QKeySequence>{actions_.zoomIn->shortcuts()}
                                  << QKeySequence(Qt::CTRL | Qt::Key_Equal));
    actions_.actualSize->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(actions_.zoomIn, &QAction::triggered, this,
            [this] { view_.setZoom(zoomIn(view_.zoom())); });
    connect(actions_.zoomOut, &QAction::triggered, this,
            [this] { view_.setZoom(zoomOut(view_.zoom())); });
    connect(actions_.actualSize, &QAction::triggered, this, [this] { view_.setZoom(kActualSize); });
    connect(actions_.fitWidth, &QAction::triggered, this,
            [this] { view_.setZoom(view_.fitWidthZoom()); });
    connect(&view_, &CVR5XPView::zoomChanged, this, &ZoomCommands::zoomChanged);

    view_.setZoom(validZoom(settings_.read(keys::ZoomPercent, kActualSize)));
    zoomChanged(view_.zoom());
}

void ZoomCommands::addTo(QMenu* menu) const {
    menu->addAction(actions_.zoomIn);
    menu->addAction(actions_.zoomOut);
    menu->addAction(actions_.actualSize);
    menu->addAction(actions_.fitWidth);
}

void ZoomCommands::zoomChanged(int percent) {
    if (settings_.read(keys::ZoomPercent, 0) != percent)
        settings_.write(keys::ZoomPercent, percent);
    actions_.zoomIn->setEnabled(percent < kMaxZoom);
    actions_.zoomOut->setEnabled(percent > kMinZoom);
}

}  // namespace vr5
