// ViewSync: what every view copies from its model widget: geometry (twips
// to pixels), visibility, enabled state and font.
#pragma once

#include <QWidget>

#include "platform/Widget.h"
#include "qt/QtHost.h"
#include "qt/Twips.h"

namespace trovel::qt {

inline void SyncCommon(QtHost& host, QWidget* view, const Widget& model) {
  // Hiding a focused view makes Qt move its focus; that is the model's doing.
  QtHost::QuietFocus quiet(host);
  const QWidget* at = view->parentWidget() ? view->parentWidget() : view;
  view->setGeometry(ToPixels(model.Left(), at), ToPixels(model.Top(), at), ToPixels(model.Width(), at),
                    ToPixels(model.Height(), at));
  view->setVisible(model.Visible());
  view->setEnabled(model.Enabled());
  if (model.GetFont()) view->setFont(ToQFont(model.GetFont().get()));
}

}  // namespace trovel::qt
